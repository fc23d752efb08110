#pragma once
// Helpers for the image tests: an image filled the way an application fills it, and the
// colour a colour-map row shows once read back in 8 bits.

#include <cstddef>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "gl/gl.hpp"
#include "image/image_impl.hpp"
#include "support/gl_test.hpp"
#include "zarvo/defines.h"

namespace zvtest {

// Writes bytes into a pixel buffer the way an application would, without disturbing the
// unpack binding.
void fillPixels(GLuint pbo, const void* data, size_t bytes);

// A w x h image of this mode and type holding `pixels`, which must fill its buffer exactly.
// Needs a current context.
template <class T>
std::shared_ptr<internal::image_impl> makeImage(unsigned w, unsigned h, zv::ColorMode mode,
                                                zv::ZVType type, const std::vector<T>& pixels) {
    auto img = std::make_shared<internal::image_impl>(w, h, mode, type);
    EXPECT_EQ(pixels.size() * sizeof(T), img->size());
    fillPixels(img->pbo(), pixels.data(), pixels.size() * sizeof(T));
    return img;
}

// A colour-map channel in [0, 1] as an 8-bit read-back shows it.
int to8(float f);
// Row `row` of a colour-map table, opaque, as an 8-bit read-back shows it.
RGBA rowColor(const float (*table)[4], int row);

}  // namespace zvtest
