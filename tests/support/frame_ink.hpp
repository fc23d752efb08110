#pragma once
// Where a chart's frame lands in a window, and how much of a red series' ink a pixel of a
// resolved picture (zv::Snapshot, rows top first) holds: for the dense-data tests, which
// judge every pixel column of the frame.

#include <algorithm>
#include <string>

#include "chart/chart_layout.hpp"
#include "support/gl_test.hpp"
#include "window/window_impl.hpp"
#include "zarvo/window.h"

namespace zvtest {

// The frame in window pixels from the bottom-left corner.
struct FrameBox {
    double left, bottom, right, top;
};

inline FrameBox wholeWindowFrame(int w, int h) {
    const internal::ChartLayout l = internal::chartLayout(w, h);
    return {l.frameLeft, l.frameBottom, l.frameRight, l.frameTop};
}

// A cell's chart is laid out for the cell and drawn into its inset area.
inline FrameBox cellFrame(const internal::CellLayout& c) {
    const internal::ChartLayout l = internal::chartLayout(c.width, c.height);
    const double kx = double(c.vwidth) / c.width, ky = double(c.vheight) / c.height;
    return {c.vx + l.frameLeft * kx, c.vy + l.frameBottom * ky, c.vx + l.frameRight * kx,
            c.vy + l.frameTop * ky};
}

// Red ink at window pixel (x, y from the bottom), 0 to 255: red above green counts a red
// series but neither the black background nor the white frame.
inline int ink(const zv::Snapshot& s, int x, int y) {
    const unsigned char* p = &s.rgba[(size_t(s.height - 1 - y) * s.width + x) * 4];
    return std::max(0, int(p[0]) - int(p[1]));
}

// Writes a resolved picture into the test output directory (see Snapshot::save) and returns
// the path.
inline std::string savePicture(const zv::Snapshot& s, const std::string& name) {
    Snapshot t;
    t.width = s.width;
    t.height = s.height;
    t.rgba.resize(s.rgba.size());
    for (int y = 0; y < s.height; ++y)  // the test support keeps rows bottom-up
        std::copy_n(&s.rgba[size_t(s.height - 1 - y) * s.width * 4], s.width * 4,
                    &t.rgba[size_t(y) * s.width * 4]);
    return t.save(name);
}

}  // namespace zvtest
