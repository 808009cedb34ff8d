// The scene's lifecycle and a frame: clear, then quad A through the plain program and quad B
// through the tinted one, re-pointing the attributes of the one vertex array between the two.
#include "render/scene.hpp"

#include "render/vertex_data.hpp"

void scene::init()
{
    glClearColor(0.29f, 0.0f, 0.19f, 1.0f);
    create_buffers();
    create_programs();
}

void scene::render()
{
    // Only colour is ever drawn: there is no depth or stencil work to clear.
    glClear(GL_COLOR_BUFFER_BIT);
    draw_plain_pass();
    draw_tinted_pass();
}

void scene::release()
{
    delete_programs();
    delete_buffers();
}

// Every pass sets its whole state again, even what the last frame left in place: a reader can see
// each draw's inputs in the pass itself, and there is no cache to fall out of step.
void scene::draw_plain_pass()
{
    // The tinted pass of the previous frame left the palette indices on.
    glDisableVertexAttribArray(palette_index_attrib);
    glVertexAttribBinding(position_attrib, plain_binding);
    glVertexAttribBinding(color_attrib, plain_binding);
    glBindVertexBuffer(plain_binding, vertex_buffers[0], 0, vertex_stride);
    glUseProgram(plain_program);
    glDrawElements(GL_TRIANGLES, indices_per_quad, GL_UNSIGNED_INT, nullptr);
}

void scene::draw_tinted_pass()
{
    glEnableVertexAttribArray(palette_index_attrib);
    glVertexAttribBinding(palette_index_attrib, palette_binding);
    glVertexAttribBinding(position_attrib, tinted_binding);
    glVertexAttribBinding(color_attrib, tinted_binding);
    glBindVertexBuffer(palette_binding, vertex_buffers[2], 0, palette_stride);
    glBindVertexBuffer(tinted_binding, vertex_buffers[1], 0, vertex_stride);
    glUseProgram(tinted_program);
    glDrawElements(GL_TRIANGLES, indices_per_quad, GL_UNSIGNED_INT, nullptr);
}

bool scene_entry_points_loaded()
{
    // Every function newer than OpenGL 1.1 that init, render and release call.
    const void* const entry_points[] = {
        reinterpret_cast<const void*>(glGenBuffers),
        reinterpret_cast<const void*>(glBindBuffer),
        reinterpret_cast<const void*>(glBufferData),
        reinterpret_cast<const void*>(glBufferSubData),
        reinterpret_cast<const void*>(glMapBuffer),
        reinterpret_cast<const void*>(glUnmapBuffer),
        reinterpret_cast<const void*>(glDeleteBuffers),
        reinterpret_cast<const void*>(glGenVertexArrays),
        reinterpret_cast<const void*>(glBindVertexArray),
        reinterpret_cast<const void*>(glDeleteVertexArrays),
        reinterpret_cast<const void*>(glEnableVertexAttribArray),
        reinterpret_cast<const void*>(glDisableVertexAttribArray),
        reinterpret_cast<const void*>(glVertexAttribFormat),
        reinterpret_cast<const void*>(glVertexAttribIFormat),
        reinterpret_cast<const void*>(glVertexAttribBinding),
        reinterpret_cast<const void*>(glBindVertexBuffer),
        reinterpret_cast<const void*>(glCreateShader),
        reinterpret_cast<const void*>(glShaderSource),
        reinterpret_cast<const void*>(glCompileShader),
        reinterpret_cast<const void*>(glGetShaderiv),
        reinterpret_cast<const void*>(glDeleteShader),
        reinterpret_cast<const void*>(glCreateProgram),
        reinterpret_cast<const void*>(glAttachShader),
        reinterpret_cast<const void*>(glLinkProgram),
        reinterpret_cast<const void*>(glGetProgramiv),
        reinterpret_cast<const void*>(glDeleteProgram),
        reinterpret_cast<const void*>(glUseProgram),
    };
    for (const void* entry_point : entry_points) {
        if (entry_point == nullptr)
            return false;
    }
    return true;
}
