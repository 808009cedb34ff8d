// The built program over ten thousand frames and a few dozen resizes: memory stays flat, the
// picture stays right, and it still closes cleanly.
#include "tests/support/probe_report.hpp"
#include "tests/support/process.hpp"
#include "tests/support/x11_window.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

#if defined(__SANITIZE_ADDRESS__)
// AddressSanitizer holds freed memory back in quarantine, so resident memory climbs by design;
// there, the leak check at exit stands in for this one.
constexpr bool resident_memory_tells = false;
#else
constexpr bool resident_memory_tells = true;
#endif

long frames_so_far(const std::string& progress_path)
{
    std::ifstream in(progress_path);
    long frames = 0;
    in >> frames;
    return frames;
}

long resident_kib(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stol(line.substr(6));
    }
    return -1;
}

// Waits until the program has swapped at least frames frames; false if it stops making progress.
bool wait_for_frames(const std::string& progress_path, long frames)
{
    const auto deadline = std::chrono::steady_clock::now() + 120s;
    while (frames_so_far(progress_path) < frames) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

TEST(long_run, ten_thousand_frames_and_dozens_of_resizes_keep_memory_flat_and_the_picture_right)
{
    const std::string progress = "/tmp/quorvel-progress-" + std::to_string(getpid());
    std::remove(progress.c_str());
    x11_display display;
    ASSERT_TRUE(display.is_open());
    child_process program(QUORVEL_BINARY, {}, with_probe("/dev/null", {{"QUORVEL_PROBE_PROGRESS", progress}}));
    const x_window window = display.wait_for_window_of(program.pid(), 20s);
    ASSERT_NE(window, 0u);

    const std::pair<int, int> sizes[] = {{800, 600}, {320, 240}, {1024, 768}, {96, 64}, {640, 480}, {1000, 200}};
    long frames = 0;
    auto resize_and_draw = [&](int width, int height) {
        display.resize(window, width, height);
        frames += 250;
        return wait_for_frames(progress, frames);
    };

    // First frames, and each size twice, so that the driver has made every allocation it keeps.
    for (int round = 0; round < 2; ++round) {
        for (const auto& [width, height] : sizes)
            ASSERT_TRUE(resize_and_draw(width, height)) << "the program stopped drawing";
    }
    const long settled_kib = resident_kib(program.pid());

    // Flat: whatever a frame or a resize allocates is given back. The margin absorbs the heap's own
    // slack, not growth per frame, which would be megabytes over these frames.
    constexpr long margin_kib = 1024;
    int resizes = 0;
    for (int round = 0; round < 6; ++round) {
        for (const auto& [width, height] : sizes) {
            ASSERT_TRUE(resize_and_draw(width, height)) << "the program stopped drawing";
            ++resizes;
        }
        if (resident_memory_tells) {
            EXPECT_LE(resident_kib(program.pid()), settled_kib + margin_kib) << "after round " << round;
        }
    }
    ASSERT_GE(frames_so_far(progress), 10000);
    std::printf("resident memory after %d more resizes and %ld frames in all: %ld KiB, settled at %ld KiB\n",
                resizes, frames_so_far(progress), resident_kib(program.pid()), settled_kib);

    EXPECT_TRUE(eventually_shows(display, window));

    display.send_close_request(window);
    const auto status = program.wait_for_exit(60s);
    std::remove(progress.c_str());
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 0);
}

} // namespace
