#include "window/cell_layout.hpp"

#include <algorithm>

namespace internal {

CellLayout cellLayout(int fbWidth, int fbHeight, int rows, int columns, int column, int row,
                      int captionBand) {
    CellLayout c;
    c.width = fbWidth / columns;
    c.height = fbHeight / rows;
    // Formed in 64 bits and held within 2^24 pixels either way: a column or row far outside
    // the grid lies far outside the window instead of wrapping round into it.
    const auto place = [](long long v) {
        return static_cast<int>(std::max(-(1LL << 24), std::min(v, 1LL << 24)));
    };
    c.x = place(static_cast<long long>(column) * c.width);
    c.y = place((static_cast<long long>(rows) - 1 - row) * c.height);
    // Insets in single precision, truncated: 2% of the cell left, right and below, and a
    // band of about 10% of the cell height above for the caption.
    int mx = static_cast<int>(static_cast<float>(c.width) * 0.02f);
    int my = static_cast<int>(static_cast<float>(c.height) * 0.02f);
    int mt = static_cast<int>(static_cast<float>(c.height) * 0.06f);
    c.vx = c.x + mx;
    c.vy = c.y + my;
    c.vwidth = c.width - 2 * mx;
    c.vheight = c.height - 2 * mt;
    c.captionX = static_cast<float>(c.width) / 3.0f;
    c.captionY = static_cast<float>(c.height) * 0.92f;
    if (captionBand >= 0) {
        c.vheight = std::max(0, c.height - my - std::max(my, captionBand));
    }
    return c;
}

}  // namespace internal
