// The bytes the program's buffers must hold, written out from the documented picture rather than
// from the writers, so that a test comparing the two can fail.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

inline std::vector<unsigned char> as_bytes(const void* data, std::size_t size)
{
    const auto* first = static_cast<const unsigned char*>(data);
    return {first, first + size};
}

// Quad A: lower-left corner (-1, -1), 0.5 wide and high. Each vertex: x, y, z, w, r, g, b, a.
inline std::vector<unsigned char> expected_quad_a()
{
    static const float v[32] = {
        -1.0f, -1.0f, 0, 1, 0, 0, 1, 1, // blue
        -0.5f, -1.0f, 0, 1, 0, 1, 0, 1, // green
        -1.0f, -0.5f, 0, 1, 1, 0, 0, 1, // red
        -0.5f, -0.5f, 0, 1, 1, 1, 0, 1, // yellow
    };
    return as_bytes(v, sizeof v);
}

// Quad B: lower-left corner (0, 0), 0.25 wide and high.
inline std::vector<unsigned char> expected_quad_b()
{
    static const float v[32] = {
        0.0f,  0.0f,  0, 1, 0, 0, 1, 1, // blue
        0.25f, 0.0f,  0, 1, 0, 1, 0, 1, // green
        0.0f,  0.25f, 0, 1, 1, 0, 0, 1, // red
        0.25f, 0.25f, 0, 1, 1, 1, 0, 1, // yellow
    };
    return as_bytes(v, sizeof v);
}

// Four palette words of 1, as the attribute reads them on this little-endian host: bytes 1, 0, 0, 0
// per vertex.
inline std::vector<unsigned char> expected_palette()
{
    return {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
}

inline std::vector<unsigned char> expected_indices(std::uint32_t base)
{
    const std::uint32_t i[6] = {base, base + 1, base + 2, base + 2, base + 1, base + 3};
    return as_bytes(i, sizeof i);
}
