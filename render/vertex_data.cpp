// Fills the scene's buffers once and declares the vertex input layout with separated attribute
// formats and binding points.
#include "render/vertex_data.hpp"

#include "render/scene.hpp"

#include <cstring>

void write_quad(void* dst, float x, float y, float w, float h)
{
    const quad_vertex vertices[vertices_per_quad] = {
        {{x, y, 0.0f, 1.0f}, {0.0f, 0.0f, 1.0f, 1.0f}},
        {{x + w, y, 0.0f, 1.0f}, {0.0f, 1.0f, 0.0f, 1.0f}},
        {{x, y + h, 0.0f, 1.0f}, {1.0f, 0.0f, 0.0f, 1.0f}},
        {{x + w, y + h, 0.0f, 1.0f}, {1.0f, 1.0f, 0.0f, 1.0f}},
    };
    std::memcpy(dst, vertices, sizeof vertices);
}

void fill_u32(void* dst, std::size_t count, std::uint32_t value)
{
    auto* bytes = static_cast<unsigned char*>(dst);
    for (std::size_t i = 0; i < count; ++i)
        std::memcpy(bytes + i * sizeof value, &value, sizeof value);
}

void write_quad_indices(void* dst, std::uint32_t base)
{
    const std::uint32_t indices[indices_per_quad] = {base, base + 1, base + 2, base + 2, base + 1, base + 3};
    std::memcpy(dst, indices, sizeof indices);
}

namespace {

constexpr GLsizeiptr largest_buffer_bytes = quad_bytes;
static_assert(palette_bytes <= largest_buffer_bytes && index_bytes <= largest_buffer_bytes);

// Binds buffer at target, allocates exactly size bytes and lets write fill them through a
// mapping. A driver may refuse the mapping, or lose the store's contents while it is mapped (unmap
// answers false); then the same bytes are written to a local copy and uploaded instead, so the
// writers never see a null destination and the picture stays right.
template <typename Writer>
void fill_buffer(GLenum target, GLuint buffer, GLsizeiptr size, Writer write)
{
    glBindBuffer(target, buffer);
    glBufferData(target, size, nullptr, GL_DYNAMIC_DRAW);
    if (void* mapped = glMapBuffer(target, GL_WRITE_ONLY)) {
        write(mapped);
        if (glUnmapBuffer(target) == GL_TRUE)
            return;
    }
    unsigned char local_copy[largest_buffer_bytes];
    write(local_copy);
    glBufferSubData(target, 0, size, local_copy);
}

} // namespace

void scene::create_buffers()
{
    glGenBuffers(1, &index_buffer);
    glGenBuffers(3, vertex_buffers);

    fill_buffer(GL_ARRAY_BUFFER, vertex_buffers[0], quad_bytes, [](void* dst) { write_quad(dst, -1.0f, -1.0f, 0.5f, 0.5f); });
    fill_buffer(GL_ARRAY_BUFFER, vertex_buffers[1], quad_bytes, [](void* dst) { write_quad(dst, 0.0f, 0.0f, 0.25f, 0.25f); });
    fill_buffer(GL_ARRAY_BUFFER, vertex_buffers[2], palette_bytes,
                [](void* dst) { fill_u32(dst, vertices_per_quad, quad_b_palette_index); });

    // The vertex array stays bound for the rest of the run; binding the element buffer while it is
    // bound is what makes the vertex array remember it.
    glGenVertexArrays(1, &vertex_array);
    glBindVertexArray(vertex_array);
    fill_buffer(GL_ELEMENT_ARRAY_BUFFER, index_buffer, index_bytes, [](void* dst) { write_quad_indices(dst, 0); });

    setup_vertex_input();
}

void scene::setup_vertex_input()
{
    glEnableVertexAttribArray(palette_index_attrib);
    glEnableVertexAttribArray(position_attrib);
    glEnableVertexAttribArray(color_attrib);

    // IFormat keeps the palette bytes integers; a plain Format would hand the shader floats.
    glVertexAttribIFormat(palette_index_attrib, components_per_attrib, GL_UNSIGNED_BYTE, 0);
    glVertexAttribBinding(palette_index_attrib, palette_binding);
    glBindVertexBuffer(palette_binding, vertex_buffers[2], 0, palette_stride);

    glVertexAttribFormat(position_attrib, components_per_attrib, GL_FLOAT, GL_FALSE, position_offset);
    glVertexAttribFormat(color_attrib, components_per_attrib, GL_FLOAT, GL_FALSE, color_offset);
    glVertexAttribBinding(position_attrib, plain_binding);
    glVertexAttribBinding(color_attrib, plain_binding);
    glBindVertexBuffer(plain_binding, vertex_buffers[0], 0, vertex_stride);

    // Fully described but off: only the tinted pass reads palette indices, and it switches them on.
    glDisableVertexAttribArray(palette_index_attrib);
}

void scene::delete_buffers()
{
    glDeleteVertexArrays(1, &vertex_array);
    glDeleteBuffers(3, vertex_buffers);
    glDeleteBuffers(1, &index_buffer);
}
