// What the scene does when the driver or the loader lets it down, on a real context with faults
// injected through GLEW's function pointers.
#include "render/scene.hpp"
#include "tests/render/expected_data.hpp"
#include "tests/render/gl_state.hpp"
#include "tests/support/gl_window.hpp"
#include "tests/support/glew_swap.hpp"
#include "tests/support/picture.hpp"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fstream>
#include <functional>
#include <ostream>
#include <regex>
#include <set>

namespace {

// Every shader name the driver hands out while a recorder is alive.
class shader_recorder {
public:
    shader_recorder()
    {
        created.clear();
        real = __glewCreateShader;
        __glewCreateShader = record;
    }
    ~shader_recorder() { __glewCreateShader = real; }
    shader_recorder(const shader_recorder&) = delete;
    shader_recorder& operator=(const shader_recorder&) = delete;

    static inline std::vector<GLuint> created;

private:
    static GLuint GLAPIENTRY record(GLenum type)
    {
        const GLuint name = real(type);
        created.push_back(name);
        return name;
    }

    static inline PFNGLCREATESHADERPROC real = nullptr;
};

class failing_driver : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(window.ready()) << "no 4.3 core-profile context"; }
    pixels frame()
    {
        the_scene.render();
        return pixels::read_gl(window.width(), window.height());
    }

    gl_window window{640, 480};
    scene the_scene{};
};

struct compile_case {
    const char* name;
    const char* source;
    bool compiles;
    friend std::ostream& operator<<(std::ostream& out, const compile_case& c) { return out << c.name; }
};

class shader_compile : public failing_driver, public testing::WithParamInterface<compile_case> {};

// A shader the driver rejects is reported and deleted at once: the caller only ever sees 0.
TEST_P(shader_compile, returns_the_shader_or_reports_and_deletes_it)
{
    shader_recorder recorder;
    testing::internal::CaptureStdout();
    const GLuint shader = scene::compile_shader(GL_FRAGMENT_SHADER, GetParam().source);
    const std::string output = testing::internal::GetCapturedStdout();

    ASSERT_EQ(shader_recorder::created.size(), 1u);
    const GLuint created = shader_recorder::created[0];
    if (GetParam().compiles) {
        EXPECT_EQ(shader, created);
        EXPECT_EQ(output, "");
        EXPECT_TRUE(glIsShader(created));
    } else {
        EXPECT_EQ(shader, 0u);
        EXPECT_EQ(output, "Shader compile failed !\n");
        EXPECT_FALSE(glIsShader(created)) << "the rejected shader object was left behind";
    }
}

INSTANTIATE_TEST_SUITE_P(sources, shader_compile,
                         testing::Values(compile_case{"valid", "#version 430\nout vec4 c;\nvoid main() { c = vec4(1); }\n", true},
                                         compile_case{"not_glsl", "this is not a shader", false},
                                         compile_case{"newer_than_the_driver", "#version 990\nvoid main() {}\n", false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(failing_driver, a_program_that_cannot_be_created_is_reported_its_shaders_deleted_and_frames_go_on)
{
    shader_recorder recorder;
    glew_swap<PFNGLCREATEPROGRAMPROC> refuse(__glewCreateProgram, []() -> GLuint { return 0; });
    testing::internal::CaptureStdout();
    the_scene.init();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Program creation failed !\nProgram link failed !\n"
                                                      "Program creation failed !\nProgram link failed !\n");
    EXPECT_EQ(the_scene.plain_program, 0u);
    EXPECT_EQ(the_scene.tinted_program, 0u);
    ASSERT_EQ(shader_recorder::created.size(), 4u);
    for (const GLuint shader : shader_recorder::created)
        EXPECT_FALSE(glIsShader(shader)) << "shader " << shader << " outlived its failed program";

    // Without programs the quads are the driver's business; the clear is still the program's.
    const picture_check background_only{green, false, false};
    EXPECT_TRUE(matches_picture(frame(), background_only));
    EXPECT_TRUE(matches_picture(frame(), background_only));
    the_scene.release();
}

struct buffer_fault {
    const char* name;
    std::function<void()> inject; // called with the context current, before init
    friend std::ostream& operator<<(std::ostream& out, const buffer_fault& f) { return out << f.name; }
};

PFNGLUNMAPBUFFERPROC real_unmap;

class buffer_upload : public failing_driver, public testing::WithParamInterface<buffer_fault> {};

// Whether the driver refuses the mapping or loses the mapped store, every buffer still ends up
// with exactly its bytes and the picture is right.
TEST_P(buffer_upload, survives_the_fault_with_exact_contents_and_the_right_picture)
{
    const auto original_map = __glewMapBuffer;
    const auto original_unmap = __glewUnmapBuffer;
    GetParam().inject();
    the_scene.init();
    __glewMapBuffer = original_map;
    __glewUnmapBuffer = original_unmap;

    EXPECT_EQ(read_buffer(the_scene.vertex_buffers[0]), expected_quad_a());
    EXPECT_EQ(read_buffer(the_scene.vertex_buffers[1]), expected_quad_b());
    EXPECT_EQ(read_buffer(the_scene.vertex_buffers[2]), expected_palette());
    EXPECT_EQ(read_buffer(the_scene.index_buffer), expected_indices(0));
    EXPECT_TRUE(matches_picture(frame()));
    the_scene.release();
}

INSTANTIATE_TEST_SUITE_P(
    faults, buffer_upload,
    testing::Values(buffer_fault{"map_yields_no_pointer",
                                 [] { __glewMapBuffer = [](GLenum, GLenum) -> void* { return nullptr; }; }},
                    // The store is really mapped and written; then its contents are lost (overwritten
                    // here), as a driver may do, and unmapping says so.
                    buffer_fault{"unmap_reports_lost_contents",
                                 [] {
                                     real_unmap = __glewUnmapBuffer;
                                     __glewUnmapBuffer = [](GLenum target) -> GLboolean {
                                         real_unmap(target);
                                         GLint size = 0;
                                         glGetBufferParameteriv(target, GL_BUFFER_SIZE, &size);
                                         const std::vector<unsigned char> garbage(static_cast<std::size_t>(size), 0xEE);
                                         glBufferSubData(target, 0, size, garbage.data());
                                         return GL_FALSE;
                                     };
                                 }}),
    [](const auto& info) { return std::string(info.param.name); });

// The names of the GL functions the program calls, taken from its recorded call sequence, plus
// the one that only the upload fallback calls.
std::set<std::string> functions_the_program_calls()
{
    std::set<std::string> names = {"glBufferSubData"};
    std::ifstream golden(QUORVEL_GOLDEN_CALLS);
    const std::regex call(R"(^(gl[A-Z]\w*)\()");
    std::smatch match;
    for (std::string line; std::getline(golden, line);) {
        if (std::regex_search(line, match, call))
            names.insert(match[1]);
    }
    return names;
}

// Every entry point the scene calls through the loader is checked: null any one of them and the
// check fails. Functions of OpenGL 1.1 are linked directly and have no loader pointer.
TEST_F(failing_driver, the_entry_point_check_covers_every_loaded_function_the_program_calls)
{
    ASSERT_TRUE(scene_entry_points_loaded());
    int loaded_functions = 0;
    for (const std::string& function : functions_the_program_calls()) {
        auto* pointer = static_cast<void**>(dlsym(RTLD_DEFAULT, ("__glew" + function.substr(2)).c_str()));
        if (pointer == nullptr)
            continue;
        ++loaded_functions;
        void* const original = *pointer;
        *pointer = nullptr;
        EXPECT_FALSE(scene_entry_points_loaded()) << function << " is not checked";
        *pointer = original;
    }
    EXPECT_GT(loaded_functions, 0) << "no loader pointers found";
    EXPECT_TRUE(scene_entry_points_loaded());
}

} // namespace
