// The built program on a driver that rejects one of its shaders. Mesa replaces a shader's source
// with $MESA_SHADER_READ_PATH/<stage>_<sha1 of the source>.glsl; a broken file there is a real
// compile failure from the real driver.
#include "render/shader_programs.hpp"
#include "tests/support/picture.hpp"
#include "tests/support/process.hpp"
#include "tests/support/x11_window.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <regex>
#include <thread>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

std::string sha1_of(const std::string& text, const std::string& directory)
{
    const std::string path = directory + "/source.txt";
    std::ofstream(path, std::ios::binary) << text;
    std::string digest;
    if (FILE* pipe = popen(("sha1sum " + path).c_str(), "r")) {
        char buffer[128] = {};
        if (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
            digest = std::string(buffer).substr(0, 40);
        pclose(pipe);
    }
    std::remove(path.c_str());
    return digest;
}

struct rejection_case {
    const char* name;
    const char* stage; // Mesa's file prefix
    const char* source;
    // What follows the version line; a link failure after a compile failure is the driver's call.
    const char* output_pattern;
    picture_check picture;
    friend std::ostream& operator<<(std::ostream& out, const rejection_case& c) { return out << c.name; }
};

class rejected_shader : public testing::TestWithParam<rejection_case> {};

TEST_P(rejected_shader, is_reported_and_the_program_keeps_drawing_until_closed)
{
    char directory[] = "/tmp/quorvel-shaders-XXXXXX";
    ASSERT_NE(mkdtemp(directory), nullptr);
    const std::string digest = sha1_of(GetParam().source, directory);
    ASSERT_EQ(digest.size(), 40u);
    const std::string replacement = std::string(directory) + "/" + GetParam().stage + "_" + digest + ".glsl";
    std::ofstream(replacement) << "#version 430\nthis is not a shader\n";

    x11_display display;
    ASSERT_TRUE(display.is_open());
    environment_change env;
    env.set = {{"MESA_SHADER_READ_PATH", directory}, {"MESA_SHADER_CACHE_DISABLE", "true"}};
    child_process program(QUORVEL_BINARY, {}, env);
    const x_window window = display.wait_for_window_of(program.pid(), 20s);
    ASSERT_NE(window, 0u);

    EXPECT_TRUE(eventually_shows(display, window, GetParam().picture));

    display.send_close_request(window);
    const auto status = program.wait_for_exit(20s);
    std::remove(replacement.c_str());
    rmdir(directory);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 0);

    const std::string output = program.rest_of_output();
    const std::string version_line = output.substr(0, output.find('\n') + 1);
    EXPECT_EQ(version_line.rfind("OpenGL: ", 0), 0u) << output;
    const std::string after = output.substr(version_line.size());
    EXPECT_TRUE(std::regex_match(after, std::regex(GetParam().output_pattern))) << after;
}

INSTANTIATE_TEST_SUITE_P(
    shaders, rejected_shader,
    testing::Values(
        // The fragment source is compiled once for each program, so its rejection shows twice;
        // no quad can be trusted, but every frame is still cleared.
        rejection_case{"color_fragment", "FS", color_fragment_source,
                       "(Shader compile failed !\n(Program link failed !\n)?){2}", {green, false, false}},
        // Only the tinted program loses its vertex stage: quad A is still exactly right.
        rejection_case{"tinted_vertex", "VS", tinted_vertex_source, "Shader compile failed !\n(Program link failed !\n)?",
                       {green, true, false}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
