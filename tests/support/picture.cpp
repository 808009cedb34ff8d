// The documented picture, pixel by pixel, for any window size.
#include "tests/support/picture.hpp"

#define GLFW_INCLUDE_NONE
#include <GL/glew.h>

#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {

constexpr int tolerance = 3;
constexpr rgbaf background = {0.29f, 0.0f, 0.19f, 1.0f};

rgbaf mix(const rgbaf& a, float s, const rgbaf& b, float t, const rgbaf& c, float u)
{
    rgbaf m{};
    for (int i = 0; i < 4; ++i)
        m[i] = a[i] * s + b[i] * t + c[i] * u;
    return m;
}

// The colour at (u, v) across a quad whose corners are blue, green, red and yellow (bottom-left,
// bottom-right, top-left, top-right), interpolated over its triangles (0, 1, 2) and (2, 1, 3), then
// multiplied by tint.
rgbaf quad_colour(float u, float v, const rgbaf& tint)
{
    const rgbaf c =
        u + v <= 1.0f ? mix(blue, 1 - u - v, green, u, red, v) : mix(yellow, u + v - 1, red, 1 - u, green, 1 - v);
    return {c[0] * tint[0], c[1] * tint[1], c[2] * tint[2], c[3] * tint[3]};
}

struct rect {
    float x, y, w, h; // pixels
    bool contains(float px, float py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

// A quad at normalised device coordinates (x0, y0) with size (w, h), on a width x height viewport.
rect on_viewport(float x0, float y0, float w, float h, int width, int height)
{
    return {(x0 + 1) / 2 * width, (y0 + 1) / 2 * height, w / 2 * width, h / 2 * height};
}

rgba8 to_rgba8(const rgbaf& c)
{
    rgba8 r{};
    for (int i = 0; i < 4; ++i)
        r[i] = static_cast<int>(std::lround(c[i] * 255));
    return r;
}

std::string describe(const rgba8& c)
{
    std::ostringstream out;
    out << "(" << c[0] << ", " << c[1] << ", " << c[2] << ", " << c[3] << ")";
    return out.str();
}

} // namespace

pixels::pixels(int width, int height, std::vector<unsigned char> bytes)
    : width_(width), height_(height), bytes_(std::move(bytes))
{
}

pixels pixels::read_gl(int width, int height)
{
    std::vector<unsigned char> bytes(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    return pixels(width, height, std::move(bytes));
}

rgba8 pixels::at(int x, int y) const
{
    const std::size_t i =
        (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)) * 4;
    return {bytes_[i], bytes_[i + 1], bytes_[i + 2], bytes_[i + 3]};
}

testing::AssertionResult matches_picture(const pixels& image, const picture_check& check)
{
    if (image.width() <= 0 || image.height() <= 0)
        return testing::AssertionFailure() << "no image";
    const rect quad_a = on_viewport(-1, -1, 0.5f, 0.5f, image.width(), image.height());
    const rect quad_b = on_viewport(0, 0, 0.25f, 0.25f, image.width(), image.height());
    int wrong = 0;
    std::ostringstream report;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const float cx = x + 0.5f;
            const float cy = y + 0.5f;
            rgbaf expected = background;
            if (quad_a.contains(cx, cy)) {
                if (!check.check_quad_a)
                    continue;
                expected = quad_colour((cx - quad_a.x) / quad_a.w, (cy - quad_a.y) / quad_a.h, white);
            } else if (quad_b.contains(cx, cy)) {
                if (!check.check_quad_b)
                    continue;
                expected = quad_colour((cx - quad_b.x) / quad_b.w, (cy - quad_b.y) / quad_b.h, check.quad_b_tint);
            }
            const rgba8 want = to_rgba8(expected);
            const rgba8 got = image.at(x, y);
            bool close = true;
            for (int i = 0; i < 4; ++i)
                close = close && std::abs(got[i] - want[i]) <= tolerance;
            if (!close && ++wrong <= 5)
                report << "\n  pixel (" << x << ", " << y << "): got " << describe(got) << ", want " << describe(want);
        }
    }
    if (wrong == 0)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << wrong << " of " << image.width() * image.height() << " pixels differ"
                                       << report.str();
}
