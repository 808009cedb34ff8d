// The scene on a real 4.3 core context: the objects init makes, the state a frame leaves, and
// what release takes away.
#include "render/scene.hpp"
#include "render/vertex_data.hpp"
#include "tests/render/expected_data.hpp"
#include "tests/render/gl_state.hpp"
#include "tests/support/gl_window.hpp"

#include <gtest/gtest.h>

namespace {

constexpr attrib_state palette_indices(GLint enabled, GLint binding)
{
    return {enabled, 4, GL_UNSIGNED_BYTE, GL_TRUE, GL_FALSE, 0, binding};
}
constexpr attrib_state positions(GLint binding) { return {GL_TRUE, 4, GL_FLOAT, GL_FALSE, GL_FALSE, 0, binding}; }
constexpr attrib_state colours(GLint binding) { return {GL_TRUE, 4, GL_FLOAT, GL_FALSE, GL_FALSE, 16, binding}; }

class scene_on_real_context : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(window.ready()) << "no 4.3 core-profile context";
        testing::internal::CaptureStdout();
        the_scene.init();
        init_output = testing::internal::GetCapturedStdout();
    }

    gl_window window{640, 480};
    scene the_scene{};
    std::string init_output;
};

TEST_F(scene_on_real_context, init_fills_every_buffer_with_exactly_its_bytes)
{
    EXPECT_EQ(read_buffer(the_scene.vertex_buffers[0]), expected_quad_a());
    EXPECT_EQ(read_buffer(the_scene.vertex_buffers[1]), expected_quad_b());
    EXPECT_EQ(read_buffer(the_scene.vertex_buffers[2]), expected_palette());
    EXPECT_EQ(read_buffer(the_scene.index_buffer), expected_indices(0));
}

TEST_F(scene_on_real_context, init_leaves_the_vertex_array_bound_with_the_declared_layout)
{
    EXPECT_NE(the_scene.vertex_array, 0u);
    EXPECT_EQ(read_integer(GL_VERTEX_ARRAY_BINDING), static_cast<GLint>(the_scene.vertex_array));
    EXPECT_EQ(read_integer(GL_ELEMENT_ARRAY_BUFFER_BINDING), static_cast<GLint>(the_scene.index_buffer));
    GLfloat clear[4] = {};
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(std::vector<GLfloat>(clear, clear + 4), (std::vector<GLfloat>{0.29f, 0.0f, 0.19f, 1.0f}));

    EXPECT_EQ(read_attrib(0), palette_indices(GL_FALSE, 2));
    EXPECT_EQ(read_attrib(1), positions(0));
    EXPECT_EQ(read_attrib(2), colours(0));
    EXPECT_EQ(read_binding(0), (binding_state{static_cast<GLint>(the_scene.vertex_buffers[0]), 0, 32}));
    EXPECT_EQ(read_binding(1), (binding_state{0, 0, 16})); // untouched until the first tinted pass
    EXPECT_EQ(read_binding(2), (binding_state{static_cast<GLint>(the_scene.vertex_buffers[2]), 0, 4}));
}

TEST_F(scene_on_real_context, init_links_both_programs_silently_and_flags_their_shaders_for_deletion)
{
    EXPECT_EQ(init_output, "");
    for (const GLuint program : {the_scene.plain_program, the_scene.tinted_program}) {
        ASSERT_NE(program, 0u);
        GLint linked = GL_FALSE;
        glGetProgramiv(program, GL_LINK_STATUS, &linked);
        EXPECT_EQ(linked, GL_TRUE);

        GLuint shaders[4] = {};
        GLsizei count = 0;
        glGetAttachedShaders(program, 4, &count, shaders);
        ASSERT_EQ(count, 2) << "program " << program;
        for (GLsizei i = 0; i < count; ++i) {
            GLint flagged = GL_FALSE;
            glGetShaderiv(shaders[i], GL_DELETE_STATUS, &flagged);
            EXPECT_EQ(flagged, GL_TRUE) << "shader " << shaders[i];
        }
    }
    GLuint plain_shaders[2] = {};
    GLuint tinted_shaders[2] = {};
    glGetAttachedShaders(the_scene.plain_program, 2, nullptr, plain_shaders);
    glGetAttachedShaders(the_scene.tinted_program, 2, nullptr, tinted_shaders);
    for (const GLuint shader : plain_shaders)
        EXPECT_TRUE(shader != tinted_shaders[0] && shader != tinted_shaders[1]) << "shader objects are shared";
}

TEST_F(scene_on_real_context, a_frame_leaves_the_tinted_pass_state_and_the_next_plain_pass_undoes_it)
{
    the_scene.render();
    EXPECT_EQ(read_attrib(0), palette_indices(GL_TRUE, 2));
    EXPECT_EQ(read_attrib(1), positions(1));
    EXPECT_EQ(read_attrib(2), colours(1));
    EXPECT_EQ(read_binding(0), (binding_state{static_cast<GLint>(the_scene.vertex_buffers[0]), 0, 32}));
    EXPECT_EQ(read_binding(1), (binding_state{static_cast<GLint>(the_scene.vertex_buffers[1]), 0, 32}));
    EXPECT_EQ(read_binding(2), (binding_state{static_cast<GLint>(the_scene.vertex_buffers[2]), 0, 4}));
    EXPECT_EQ(read_integer(GL_CURRENT_PROGRAM), static_cast<GLint>(the_scene.tinted_program));
    EXPECT_EQ(read_integer(GL_VERTEX_ARRAY_BINDING), static_cast<GLint>(the_scene.vertex_array));

    the_scene.draw_plain_pass();
    EXPECT_EQ(read_attrib(0), palette_indices(GL_FALSE, 2));
    EXPECT_EQ(read_attrib(1), positions(0));
    EXPECT_EQ(read_attrib(2), colours(0));
    EXPECT_EQ(read_integer(GL_CURRENT_PROGRAM), static_cast<GLint>(the_scene.plain_program));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(scene_on_real_context, release_deletes_every_object_it_names)
{
    the_scene.render();
    the_scene.release();
    for (const GLuint buffer : {the_scene.index_buffer, the_scene.vertex_buffers[0], the_scene.vertex_buffers[1],
                                the_scene.vertex_buffers[2]})
        EXPECT_FALSE(glIsBuffer(buffer)) << "buffer " << buffer;
    EXPECT_FALSE(glIsVertexArray(the_scene.vertex_array));
    EXPECT_FALSE(glIsProgram(the_scene.plain_program));
    EXPECT_FALSE(glIsProgram(the_scene.tinted_program));
    EXPECT_EQ(read_integer(GL_CURRENT_PROGRAM), 0);
}

} // namespace
