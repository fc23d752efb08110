// Float images are kept in float textures (the format each type gets, with no GPU:
// image_layout_test.cpp). Their picture must stay the picture of the same values stored in
// 8 bits, within one colour-map row, and be drawn from a float texture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "colormap/cmap_tables.hpp"
#include "image/image_impl.hpp"
#include "support/gl_test.hpp"

namespace {

using internal::image_impl;
using zvtest::Snapshot;

class ImageFormatGLTest : public zvtest::GLTest {
protected:
    // A 256 x 1 ramp through every colour-map row, over the whole window.
    Snapshot drawRamp(zv::ColorMode mode, zv::ZVType type) {
        const int channels = mode == zv::ZV_GRAYSCALE ? 1 : 4;
        auto img = std::make_shared<image_impl>(256, 1, mode, type);
        std::vector<unsigned char> bytes(img->size());
        for (int i = 0; i < 256; ++i)
            for (int c = 0; c < channels; ++c) {
                // Channels run in different directions so each one is checked on its own.
                const int v = c == 1 ? 255 - i : i;
                if (type == zv::ZV_FLOAT32) {
                    const float f = static_cast<float>(v) / 255.0f;
                    std::memcpy(&bytes[(i * channels + c) * 4], &f, 4);
                } else {
                    bytes[i * channels + c] = static_cast<unsigned char>(v);
                }
            }
        glBindBuffer(GL_COPY_WRITE_BUFFER, img->pbo());
        glBufferSubData(GL_COPY_WRITE_BUFFER, 0, static_cast<GLsizeiptr>(bytes.size()), bytes.data());
        glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
        img->keepAspectRatio(false);
        window->draw(std::shared_ptr<internal::AbstractRenderable>(img));
        return zvtest::readBack(0, 0, W, H);
    }
};

TEST_F(ImageFormatGLTest, FloatPicturesMatchTheirEightBitPicturesWithinOneRow) {
    window->setColorMap(zv::ZV_CMAP_SPECTRUM);
    for (zv::ColorMode mode : {zv::ZV_GRAYSCALE, zv::ZV_RGBA}) {
        const Snapshot bytes = drawRamp(mode, zv::ZV_UINT8);
        const Snapshot floats = drawRamp(mode, zv::ZV_FLOAT32);
        // One row apart at most: no channel differs by more than neighbouring rows of the
        // map do. A wrong scale or a lost channel would differ by far more across the ramp.
        int rowStep = 0;
        for (int r = 1; r < internal::CMAP_SPECTRUM_ROWS; ++r)
            for (int c = 0; c < 3; ++c)
                rowStep = std::max(rowStep, static_cast<int>(std::lround(
                    255.0f * std::abs(internal::cmap_spectrum[r][c] - internal::cmap_spectrum[r - 1][c]))));
        int worst = 0;
        for (int x = 1; x < W - 1; ++x) {
            const zvtest::RGBA a = bytes.at(x, H / 2), b = floats.at(x, H / 2);
            worst = std::max({worst, std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
        }
        EXPECT_LE(worst, rowStep + 2) << "mode " << mode;
        EXPECT_LT(rowStep, 40);
        EXPECT_GT(bytes.count(0, 0, W, H, zvtest::notBlack), W * H / 2) << "the ramp was drawn";
    }
    zvtest::expectNoGLError("ramps");
}

}  // namespace
