#pragma once
// The font of charts and colour bars, one per share group.

#include <memory>

#include "font/font_impl.hpp"

namespace internal {

// The chart font of the share group whose window is current: "Vera" at 32 pixels, created
// and loaded on the first call in each group and kept in the group's resources until its
// last window goes. A load that throws (zv::Error, ZV_ERR_FONT) leaves the font unloaded
// and is tried again by the next call. Raises zv::Error (ZV_ERR_GL) when no window of the
// library is current.
std::shared_ptr<font_impl> getChartFont();

}  // namespace internal
