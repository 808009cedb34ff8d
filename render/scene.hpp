// The scene: the one record that owns every GL object the program creates, its lifecycle, and the
// two draw passes of a frame.
#pragma once

#include <GL/glew.h>

// A plain record of GL names: it has no constructor or destructor that touches GL. Every name is 0
// until init, objects live from init to release, and both need the window's context current.
struct scene {
    GLuint index_buffer;
    GLuint vertex_buffers[3]; // quad A's vertices, quad B's vertices, the palette indices
    GLuint vertex_array;
    GLuint plain_program;
    GLuint tinted_program;

    void init();
    void render();
    void release();

    // Buffers, vertex array and vertex input layout (vertex_data.cpp).
    void create_buffers();
    void setup_vertex_input();
    void delete_buffers();

    // Shaders and programs (shader_programs.cpp). Each of these returns a name, or 0 on failure.
    static GLuint compile_shader(GLenum type, const char* source);
    static GLuint create_program(const GLuint* shaders, unsigned count);
    static GLuint link_program(GLuint program);
    void create_programs();
    void delete_programs();

    // The frame's two passes, one quad each.
    void draw_plain_pass();
    void draw_tinted_pass();
};

// True when the loader supplied every GL entry point newer than 1.1 that the scene calls.
bool scene_entry_points_loaded();
