#include "colormap/colormap_impl.hpp"

#include <cstring>
#include <vector>

#include "colormap/cmap_tables.hpp"

namespace internal {

namespace {
struct Table {
    const float (*rows)[4];
    int count;
};
const Table TABLES[] = {
    {cmap_default, CMAP_DEFAULT_ROWS}, {cmap_spectrum, CMAP_SPECTRUM_ROWS},
    {cmap_colors, CMAP_COLORS_ROWS},   {cmap_red, CMAP_RED_ROWS},
    {cmap_mood, CMAP_MOOD_ROWS},       {cmap_heat, CMAP_HEAT_ROWS},
    {cmap_blue, CMAP_BLUE_ROWS},
};
}  // namespace

colormap_impl::colormap_impl() {
    std::vector<float> padded(CMAP_BLOCK_ROWS * 4);
    for (int i = 0; i < COUNT; ++i) {
        const Table& t = TABLES[i];
        mLengths[i] = static_cast<GLuint>(t.count);
        // Rows past the table repeat its last row; they are never read.
        std::memcpy(padded.data(), t.rows, sizeof(float) * 4 * t.count);
        for (int r = t.count; r < CMAP_BLOCK_ROWS; ++r)
            std::memcpy(&padded[r * 4], t.rows[t.count - 1], sizeof(float) * 4);
        mBuffers[i] = GLBuffer::create();
        glBindBuffer(GL_UNIFORM_BUFFER, mBuffers[i].get());
        glBufferData(GL_UNIFORM_BUFFER, sizeof(float) * 4 * CMAP_BLOCK_ROWS, padded.data(),
                     GL_STATIC_DRAW);
        glBindBuffer(GL_UNIFORM_BUFFER, 0);
    }
}

bool colormap_impl::select(zv::ColorMap map, GLuint& buffer, GLuint& length) const {
    int i = static_cast<int>(map);
    if (i < 0 || i >= COUNT) return false;
    buffer = mBuffers[i].get();
    length = mLengths[i];
    return true;
}

}  // namespace internal
