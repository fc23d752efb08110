#pragma once
// Drawing an image's colour bar: the window's colour map as a vertical bar, ticks and labels,
// in the strip that colorBarLayout() keeps at the right of the viewport.

#include <string>
#include <vector>

#include "gl/gl.hpp"
#include "image/color_bar_layout.hpp"

namespace internal {

class font_impl;

// Draws the bar of the layout through the colour map `ubo` of `rows` rows, ticks, and the
// labels (tick 0 first) and the title (when the layout has one) with `font`, into the
// current viewport of width x height pixels; ticks and text in `color` (RGBA), white when
// null.
// The bar's program is built on the first call in each share group and kept with the
// group. Leaves no program, vertex array or uniform buffer bound (generic binding), the map
// on uniform-buffer binding point 0, and what text leaves; without a loaded font the labels
// are left out.
void drawColorBar(int windowId, const ColorBarLayout& layout, int width, int height, GLuint ubo,
                  GLuint rows, font_impl& font, const std::vector<std::string>& labels,
                  const std::string& title, const float* color = nullptr);
// Draws the colour map as a small bar, its first row at the bottom and its last at the top,
// over the rectangle (x0, y0)-(x1, y1) in pixels of the current viewport of width x height
// pixels: an image series' legend swatch. Leaves what drawColorBar leaves before its text.
void drawColorSwatch(int windowId, float x0, float y0, float x1, float y1, int width,
                     int height, GLuint ubo, GLuint rows);
// Width in pixels of `text` written with `font` at the colour bar's text size.
float colorBarTextWidth(const font_impl& font, const std::string& text);

}  // namespace internal
