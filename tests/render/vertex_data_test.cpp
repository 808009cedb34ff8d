// The buffer writers, byte for byte, and the palette word as the GPU reads it.
#include "render/vertex_data.hpp"
#include "tests/render/expected_data.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

namespace {

struct writer_case {
    const char* name;
    std::function<void(void*)> write;
    std::vector<unsigned char> expected;
    friend std::ostream& operator<<(std::ostream& out, const writer_case& c) { return out << c.name; }
};

class buffer_writer : public testing::TestWithParam<writer_case> {};

// The destination starts as a guard pattern: a writer must write exactly its bytes and no more.
TEST_P(buffer_writer, writes_exactly_the_documented_bytes)
{
    constexpr unsigned char guard = 0xA5;
    std::vector<unsigned char> destination(256, guard);
    GetParam().write(destination.data());

    std::vector<unsigned char> expected = GetParam().expected;
    expected.resize(destination.size(), guard);
    EXPECT_EQ(destination, expected);
}

INSTANTIATE_TEST_SUITE_P(
    writers, buffer_writer,
    testing::Values(
        writer_case{"quad_a", [](void* d) { write_quad(d, -1.0f, -1.0f, 0.5f, 0.5f); }, expected_quad_a()},
        writer_case{"quad_b", [](void* d) { write_quad(d, 0.0f, 0.0f, 0.25f, 0.25f); }, expected_quad_b()},
        writer_case{"palette_words", [](void* d) { fill_u32(d, 4, 1); }, expected_palette()},
        writer_case{"no_words", [](void* d) { fill_u32(d, 0, 1); }, {}},
        writer_case{"one_word", [](void* d) { fill_u32(d, 1, 0x04030201u); }, {1, 2, 3, 4}},
        writer_case{"indices_from_0", [](void* d) { write_quad_indices(d, 0); }, expected_indices(0)},
        writer_case{"indices_from_4", [](void* d) { write_quad_indices(d, 4); }, expected_indices(4)}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
