// The finished picture, read back from a real window's colour buffer and compared pixel by pixel
// with the documented one.
#include "render/scene.hpp"
#include "tests/support/gl_window.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <ostream>
#include <sstream>

namespace {

// Per channel, out of 255.
constexpr int tolerance = 3;

using rgbaf = std::array<float, 4>;
constexpr rgbaf background = {0.29f, 0.0f, 0.19f, 1.0f};
constexpr rgbaf red = {1, 0, 0, 1}, green = {0, 1, 0, 1}, blue = {0, 0, 1, 1}, yellow = {1, 1, 0, 1};
constexpr rgbaf white = {1, 1, 1, 1};

rgbaf mix(const rgbaf& a, float s, const rgbaf& b, float t, const rgbaf& c, float u)
{
    return {a[0] * s + b[0] * t + c[0] * u, a[1] * s + b[1] * t + c[1] * u, a[2] * s + b[2] * t + c[2] * u,
            a[3] * s + b[3] * t + c[3] * u};
}

// The colour at (u, v) across a quad whose corners are blue, green, red and yellow (bottom-left,
// bottom-right, top-left, top-right), interpolated over its two triangles (0, 1, 2) and (2, 1, 3),
// then multiplied by tint.
rgbaf quad_colour(float u, float v, const rgbaf& tint)
{
    const rgbaf c = u + v <= 1.0f ? mix(blue, 1 - u - v, green, u, red, v) : mix(yellow, u + v - 1, red, 1 - u, green, 1 - v);
    return {c[0] * tint[0], c[1] * tint[1], c[2] * tint[2], c[3] * tint[3]};
}

struct rect {
    float x, y, w, h; // in pixels
    bool contains(float px, float py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

// A quad from normalised device coordinates (x0, y0) with size (w, h), on a width x height viewport.
rect on_viewport(float x0, float y0, float w, float h, int width, int height)
{
    return {(x0 + 1) / 2 * width, (y0 + 1) / 2 * height, w / 2 * width, h / 2 * height};
}

rgba8 to_rgba8(const rgbaf& c)
{
    return {static_cast<int>(std::lround(c[0] * 255)), static_cast<int>(std::lround(c[1] * 255)),
            static_cast<int>(std::lround(c[2] * 255)), static_cast<int>(std::lround(c[3] * 255))};
}

bool close_enough(const rgba8& a, const rgba8& b)
{
    for (int i = 0; i < 4; ++i) {
        if (std::abs(a[i] - b[i]) > tolerance)
            return false;
    }
    return true;
}

std::string describe(const rgba8& c)
{
    std::ostringstream out;
    out << "(" << c[0] << ", " << c[1] << ", " << c[2] << ", " << c[3] << ")";
    return out.str();
}

// Compares every pixel with the picture: quad A in its vertex colours, quad B tinted, background
// elsewhere. Reports the first few differences.
testing::AssertionResult matches_picture(const pixels& image, const rgbaf& quad_b_tint)
{
    const rect quad_a = on_viewport(-1, -1, 0.5f, 0.5f, image.width(), image.height());
    const rect quad_b = on_viewport(0, 0, 0.25f, 0.25f, image.width(), image.height());
    int wrong = 0;
    std::ostringstream report;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const float cx = x + 0.5f;
            const float cy = y + 0.5f;
            rgbaf expected = background;
            if (quad_a.contains(cx, cy))
                expected = quad_colour((cx - quad_a.x) / quad_a.w, (cy - quad_a.y) / quad_a.h, white);
            else if (quad_b.contains(cx, cy))
                expected = quad_colour((cx - quad_b.x) / quad_b.w, (cy - quad_b.y) / quad_b.h, quad_b_tint);
            const rgba8 want = to_rgba8(expected);
            const rgba8 got = image.at(x, y);
            if (!close_enough(got, want) && ++wrong <= 5)
                report << "\n  pixel (" << x << ", " << y << "): got " << describe(got) << ", want " << describe(want);
        }
    }
    if (wrong == 0)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << wrong << " pixels differ" << report.str();
}

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
    EXPECT_TRUE(matches_picture(pixels::read(window.width(), window.height()), green));

    // The second frame starts from the state the first left behind, and must look the same.
    the_scene.render();
    EXPECT_TRUE(matches_picture(pixels::read(window.width(), window.height()), green));
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
    EXPECT_TRUE(matches_picture(pixels::read(window.width(), window.height()), GetParam().tint));
    the_scene.release();
}

INSTANTIATE_TEST_SUITE_P(tints, palette_index,
                         testing::Values(palette_case{"index_0_red", 0x00000000u, red},
                                         palette_case{"index_1_green_other_bytes_ignored", 0xFFFFFF01u, green},
                                         palette_case{"index_2_blue", 0x00000002u, blue},
                                         palette_case{"index_255_clamps_to_blue", 0x000000FFu, blue}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
