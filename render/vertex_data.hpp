// The vertex record, the writers that fill the buffers, and the numbers that the vertex input
// layout, the frame drawing, the shaders and the tests must agree on.
#pragma once

#include <GL/glew.h>

#include <cstddef>
#include <cstdint>

struct quad_vertex {
    float position[4]; // x, y, z, w in normalised device coordinates
    float color[4];    // r, g, b, a
};
static_assert(sizeof(quad_vertex) == 32, "quad_vertex must stay tightly packed");

// Attribute numbers: the GLSL sources name the same locations in their layout qualifiers.
constexpr GLuint palette_index_attrib = 0; // in_ind, integer; read by the tinted pass only
constexpr GLuint position_attrib = 1;      // in_vertex
constexpr GLuint color_attrib = 2;         // in_col

// Binding points: quad A's vertices, quad B's vertices, and the palette indices.
constexpr GLuint plain_binding = 0;
constexpr GLuint tinted_binding = 1;
constexpr GLuint palette_binding = 2;

constexpr GLint components_per_attrib = 4;
constexpr GLuint position_offset = offsetof(quad_vertex, position);
constexpr GLuint color_offset = offsetof(quad_vertex, color);
constexpr GLsizei vertex_stride = sizeof(quad_vertex);
// One 32-bit word per vertex, read as four unsigned bytes of palette index.
constexpr GLsizei palette_stride = sizeof(std::uint32_t);

constexpr int vertices_per_quad = 4;
constexpr GLsizei indices_per_quad = 6;
constexpr GLsizeiptr quad_bytes = vertices_per_quad * sizeof(quad_vertex);
constexpr GLsizeiptr palette_bytes = vertices_per_quad * palette_stride;
constexpr GLsizeiptr index_bytes = indices_per_quad * sizeof(std::uint32_t);

// Palette entry that every vertex of quad B carries: 1 is green.
constexpr std::uint32_t quad_b_palette_index = 1;

// Writes the four vertices of the quad with lower-left corner (x, y): blue, green, red and yellow
// at bottom-left, bottom-right, top-left and top-right. dst takes quad_bytes.
void write_quad(void* dst, float x, float y, float w, float h);

// Writes count 32-bit words of value to dst; a count of 0 writes nothing.
void fill_u32(void* dst, std::size_t count, std::uint32_t value);

// Writes the six indices of a quad's two counter-clockwise triangles, starting from base.
void write_quad_indices(void* dst, std::uint32_t base);
