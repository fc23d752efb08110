#include "zarvo/series.h"

#include "chart/chart_impl.hpp"

namespace zv {

// Out of line, so that the class's vtable is made once, in the library.
Series::~Series() = default;

void Series::setStyle(const Style& style) { chartObject()->setStyle(style, "Series::setStyle"); }
void Series::setTitle(const char* title) { chartObject()->setTitle(title); }

}  // namespace zv
