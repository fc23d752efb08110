#include "zarvo/series.h"

namespace zv {

// Out of line, so that the class's vtable is made once, in the library.
Series::~Series() = default;

}  // namespace zv
