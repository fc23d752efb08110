#include "plot/line_geometry.hpp"

#include "chart/chart_shaders.hpp"
#include "plot/plot_shaders.hpp"

namespace internal {

GLProgram makeLineProgram() {
    return makeProgram(gMarkerVertexShaderSrc, gLineGeometryShaderSrc, gChartFragmentShaderSrc);
}

}  // namespace internal
