// Reads back the vertex array's attribute and binding-point state, and a buffer's store.
#pragma once

#include <GL/glew.h>

#include <ostream>
#include <tuple>
#include <vector>

struct attrib_state {
    GLint enabled, size, type, integer, normalized, relative_offset, binding;
    bool operator==(const attrib_state& o) const
    {
        return std::tie(enabled, size, type, integer, normalized, relative_offset, binding) ==
               std::tie(o.enabled, o.size, o.type, o.integer, o.normalized, o.relative_offset, o.binding);
    }
    friend std::ostream& operator<<(std::ostream& out, const attrib_state& a)
    {
        return out << "{enabled " << a.enabled << ", size " << a.size << ", type 0x" << std::hex << a.type << std::dec
                   << ", integer " << a.integer << ", normalized " << a.normalized << ", relative offset "
                   << a.relative_offset << ", binding " << a.binding << "}";
    }
};

inline attrib_state read_attrib(GLuint index)
{
    attrib_state a{};
    glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_ENABLED, &a.enabled);
    glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_SIZE, &a.size);
    glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_TYPE, &a.type);
    glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_INTEGER, &a.integer);
    glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_ARRAY_NORMALIZED, &a.normalized);
    glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_RELATIVE_OFFSET, &a.relative_offset);
    glGetVertexAttribiv(index, GL_VERTEX_ATTRIB_BINDING, &a.binding);
    return a;
}

struct binding_state {
    GLint buffer;
    GLint64 offset;
    GLint stride;
    bool operator==(const binding_state& o) const
    {
        return std::tie(buffer, offset, stride) == std::tie(o.buffer, o.offset, o.stride);
    }
    friend std::ostream& operator<<(std::ostream& out, const binding_state& b)
    {
        return out << "{buffer " << b.buffer << ", offset " << b.offset << ", stride " << b.stride << "}";
    }
};

inline binding_state read_binding(GLuint point)
{
    binding_state b{};
    glGetIntegeri_v(GL_VERTEX_BINDING_BUFFER, point, &b.buffer);
    glGetInteger64i_v(GL_VERTEX_BINDING_OFFSET, point, &b.offset);
    glGetIntegeri_v(GL_VERTEX_BINDING_STRIDE, point, &b.stride);
    return b;
}

inline GLint read_integer(GLenum name)
{
    GLint value = -1;
    glGetIntegerv(name, &value);
    return value;
}

// The whole store of buffer, read through the copy-read target so no other binding moves.
inline std::vector<unsigned char> read_buffer(GLuint buffer)
{
    glBindBuffer(GL_COPY_READ_BUFFER, buffer);
    GLint size = 0;
    glGetBufferParameteriv(GL_COPY_READ_BUFFER, GL_BUFFER_SIZE, &size);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    glGetBufferSubData(GL_COPY_READ_BUFFER, 0, size, bytes.data());
    glBindBuffer(GL_COPY_READ_BUFFER, 0);
    return bytes;
}
