// The built program, run as a user runs it: its window, its output and its exit status.
#include "tests/support/gl_window.hpp"
#include "tests/support/picture.hpp"
#include "tests/support/probe_report.hpp"
#include "tests/support/process.hpp"
#include "tests/support/x11_window.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// The line the program should print, from this driver's own answer to a 4.3 core-profile context.
std::string expected_version_line()
{
    gl_window window(64, 64);
    if (!window.ready())
        return "no 4.3 core context for the test itself";
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    return std::string("OpenGL: ") + version + ", renderer=" + renderer + "\n";
}

class temporary_file {
public:
    temporary_file()
    {
        char name[] = "/tmp/quorvel-test-XXXXXX";
        const int fd = mkstemp(name);
        if (fd >= 0)
            close(fd);
        path_ = name;
    }
    ~temporary_file() { std::remove(path_.c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

struct arguments_case {
    const char* name;
    std::vector<std::string> args;
    friend std::ostream& operator<<(std::ostream& out, const arguments_case& c) { return out << c.name; }
};

class program_window : public testing::TestWithParam<arguments_case> {};

TEST_P(program_window, opens_quorvel_640x480_prints_the_version_line_at_once_and_exits_0_on_close_request)
{
    const std::string version_line = expected_version_line();
    x11_display display;
    ASSERT_TRUE(display.is_open());
    child_process program(QUORVEL_BINARY, GetParam().args);

    const x_window window = display.wait_for_window_of(program.pid(), 20s);
    ASSERT_NE(window, 0u) << "no mapped window with the program's _NET_WM_PID";
    // Read while the program still runs: the line must not wait in a buffer until exit.
    const auto first_line = program.read_line(10s);
    ASSERT_TRUE(first_line.has_value()) << "the version line did not arrive while the program ran";
    EXPECT_EQ(*first_line, version_line);

    EXPECT_EQ(display.title_of(window), "quorvel");
    int width = 0;
    int height = 0;
    display.size_of(window, width, height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    EXPECT_TRUE(eventually_shows(display, window));

    display.send_close_request(window);
    const auto status = program.wait_for_exit(20s);
    ASSERT_TRUE(status.has_value()) << "the program did not end after the close request";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(program.rest_of_output(), "");
}

INSTANTIATE_TEST_SUITE_P(arguments, program_window,
                         testing::Values(arguments_case{"none", {}},
                                         arguments_case{"ignored", {"--help", "-s", "800x600", "extra"}}),
                         [](const auto& info) { return std::string(info.param.name); });

struct start_failure_case {
    const char* name;
    environment_change env;
    int status;
    friend std::ostream& operator<<(std::ostream& out, const start_failure_case& c) { return out << c.name; }
};

class program_start_failure : public testing::TestWithParam<start_failure_case> {};

TEST_P(program_start_failure, exits_with_its_status_and_prints_nothing)
{
    child_process program(QUORVEL_BINARY, {}, GetParam().env);
    const auto status = program.wait_for_exit(20s);
    ASSERT_TRUE(status.has_value()) << "the program kept running";
    EXPECT_EQ(*status, GetParam().status);
    EXPECT_EQ(program.rest_of_output(), "");
}

INSTANTIATE_TEST_SUITE_P(
    statuses, program_start_failure,
    testing::Values(
        // GLFW cannot start without a display to talk to.
        start_failure_case{"no_display", {{}, {"DISPLAY", "WAYLAND_DISPLAY"}}, 1},
        // A driver that offers no 4.3 core profile: no window, no context.
        start_failure_case{"driver_without_4_3",
                           {{{"MESA_GL_VERSION_OVERRIDE", "4.2"}, {"MESA_GLSL_VERSION_OVERRIDE", "420"}}, {}},
                           2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(program_lifecycle, a_close_request_pending_before_the_first_frame_ends_the_loop_undrawn_and_still_releases)
{
    temporary_file report_file;
    child_process program(QUORVEL_BINARY, {}, with_probe(report_file.path(), {{"QUORVEL_PROBE_CLOSE_EARLY", "1"}}));
    const auto status = program.wait_for_exit(20s);
    ASSERT_TRUE(status.has_value()) << "a pending close request did not end the loop";
    EXPECT_EQ(*status, 0);
    EXPECT_EQ(program.rest_of_output(), expected_version_line());

    const probe_report report = read_probe_report(report_file.path());
    EXPECT_EQ(report.at("polls"), std::vector<long>{0});
    EXPECT_EQ(report.at("frames"), std::vector<long>{0});
    // release: both programs, then the vertex array, then the vertex and index buffers.
    EXPECT_EQ(report.at("glDeleteProgram"), std::vector<long>{2});
    EXPECT_EQ(report.at("glDeleteVertexArrays"), std::vector<long>{1});
    EXPECT_EQ(report.at("glDeleteBuffers"), std::vector<long>{2});
}

// The quads keep their places in normalised device coordinates and stretch with the window.
TEST(program_viewport, follows_the_framebuffer_through_resizes)
{
    temporary_file report_file;
    x11_display display;
    ASSERT_TRUE(display.is_open());
    child_process program(QUORVEL_BINARY, {}, with_probe(report_file.path()));
    const x_window window = display.wait_for_window_of(program.pid(), 20s);
    ASSERT_NE(window, 0u);

    for (const auto& [width, height] : {std::pair{800, 600}, std::pair{320, 240}}) {
        display.resize(window, width, height);
        EXPECT_TRUE(eventually_shows(display, window)) << width << "x" << height;
    }
    display.send_close_request(window);
    const auto status = program.wait_for_exit(20s);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 0);

    const probe_report report = read_probe_report(report_file.path());
    EXPECT_GT(report.at("frames").at(0), 0);
    EXPECT_EQ(report.at("framebuffer"), (std::vector<long>{320, 240}));
    EXPECT_EQ(report.at("viewport"), (std::vector<long>{0, 0, 320, 240}));
}

struct loader_case {
    const char* name;
    std::map<std::string, std::string> probe;
    int status;
    std::string output; // all that it prints
    friend std::ostream& operator<<(std::ostream& out, const loader_case& c) { return out << c.name; }
};

class program_with_faulty_loader : public testing::TestWithParam<loader_case> {};

TEST_P(program_with_faulty_loader, reports_in_one_line_and_ends_cleanly)
{
    temporary_file report_file;
    environment_change env = with_probe(report_file.path(), GetParam().probe);
    env.set["QUORVEL_PROBE_CLOSE_EARLY"] = "1";
    child_process program(QUORVEL_BINARY, {}, env);
    const auto status = program.wait_for_exit(20s);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, GetParam().status);
    EXPECT_EQ(program.rest_of_output(), GetParam().output);
}

INSTANTIATE_TEST_SUITE_P(
    faults, program_with_faulty_loader,
    testing::Values(
        // A missing entry point is never called: the program says so and stops before the scene.
        loader_case{"no_glVertexAttribBinding", {{"QUORVEL_PROBE_NULL_ENTRY", "glVertexAttribBinding"}}, 2,
                    "OpenGL entry points missing !\n"},
        loader_case{"no_glCreateShader", {{"QUORVEL_PROBE_NULL_ENTRY", "glCreateShader"}}, 2,
                    "OpenGL entry points missing !\n"},
        // printf must never see a null string.
        loader_case{"no_version_strings", {{"QUORVEL_PROBE_NULL_STRINGS", "1"}}, 0,
                    "OpenGL: unknown, renderer=unknown\n"}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
