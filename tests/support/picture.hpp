// The picture the program must show, and the image it is compared with: read back from GL or
// captured from the X window.
#pragma once

#include <array>
#include <gtest/gtest.h>
#include <vector>

using rgba8 = std::array<int, 4>;
using rgbaf = std::array<float, 4>;

constexpr rgbaf red = {1, 0, 0, 1}, green = {0, 1, 0, 1}, blue = {0, 0, 1, 1}, yellow = {1, 1, 0, 1};
constexpr rgbaf white = {1, 1, 1, 1};

// An 8-bit RGBA image, bottom row first as GL reads it.
class pixels {
public:
    pixels() = default;
    pixels(int width, int height, std::vector<unsigned char> bytes);
    // The colour buffer the next swap would show.
    static pixels read_gl(int width, int height);
    rgba8 at(int x, int y) const;
    int width() const { return width_; }
    int height() const { return height_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<unsigned char> bytes_;
};

enum class picture_part { background, quad_a, quad_b };

struct picture_check {
    // Quad B's vertex colours are multiplied by this palette colour; green for palette index 1.
    rgbaf quad_b_tint = green;
    // Parts left out are not compared: what a quad drawn without a program shows is the driver's.
    bool check_quad_a = true;
    bool check_quad_b = true;
};

// Compares every pixel with the picture: quad A in its vertex colours, quad B tinted, the
// background elsewhere, within 3 of 255 per channel. Reports the first few differences.
testing::AssertionResult matches_picture(const pixels& image, const picture_check& check = {});
