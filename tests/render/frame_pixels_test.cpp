// The finished picture, read back from a real window's colour buffer and compared pixel by pixel
// with the documented one.
#include "render/scene.hpp"
#include "tests/support/gl_window.hpp"
#include "tests/support/picture.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>

namespace {

struct window_size {
    int width, height;
    friend std::ostream& operator<<(std::ostream& out, const window_size& s) { return out << s.width << "x" << s.height; }
};

class frame_picture : public testing::TestWithParam<window_size> {};

// The quads live in normalised device coordinates, so at any size they keep their places and
// stretch with the window.
TEST_P(frame_picture, shows_both_quads_on_the_background_at_their_places)
{
    gl_window window(GetParam().width, GetParam().height);
    ASSERT_TRUE(window.ready());
    ASSERT_EQ(window.width(), GetParam().width);
    scene the_scene{};
    the_scene.init();
    the_scene.render();
    EXPECT_TRUE(matches_picture(pixels::read_gl(window.width(), window.height())));

    // The second frame starts from the state the first left behind, and must look the same.
    the_scene.render();
    EXPECT_TRUE(matches_picture(pixels::read_gl(window.width(), window.height())));
    the_scene.release();
}

INSTANTIATE_TEST_SUITE_P(sizes, frame_picture, testing::Values(window_size{640, 480}, window_size{960, 320}),
                         [](const auto& info) { return std::to_string(info.param.width) + "x" +
                                                       std::to_string(info.param.height); });

struct palette_case {
    const char* name;
    std::uint32_t word; // as stored in the palette buffer; its first byte is in_ind.x
    rgbaf tint;
    friend std::ostream& operator<<(std::ostream& out, const palette_case& c) { return out << c.name; }
};

class palette_index : public testing::TestWithParam<palette_case> {};

// The tinted program clamps in_ind.x to 0..2: 0 is red, 1 green, anything larger blue. The other
// three bytes are not looked at.
TEST_P(palette_index, picks_the_tint_of_quad_b)
{
    gl_window window(640, 480);
    ASSERT_TRUE(window.ready());
    scene the_scene{};
    the_scene.init();
    const std::uint32_t words[4] = {GetParam().word, GetParam().word, GetParam().word, GetParam().word};
    glBindBuffer(GL_COPY_WRITE_BUFFER, the_scene.vertex_buffers[2]);
    glBufferSubData(GL_COPY_WRITE_BUFFER, 0, sizeof words, words);

    the_scene.render();
    EXPECT_TRUE(matches_picture(pixels::read_gl(window.width(), window.height()), {GetParam().tint}));
    the_scene.release();
}

INSTANTIATE_TEST_SUITE_P(tints, palette_index,
                         testing::Values(palette_case{"index_0_red", 0x00000000u, red},
                                         palette_case{"index_1_green_other_bytes_ignored", 0xFFFFFF01u, green},
                                         palette_case{"index_2_blue", 0x00000002u, blue},
                                         palette_case{"index_255_clamps_to_blue", 0x000000FFu, blue}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
