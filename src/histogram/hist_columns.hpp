#pragma once
// Histograms of more bins than their frame has pixel columns. Bins narrower than a pixel
// are drawn one bar per pixel column instead, as high as the column's highest bin: what the
// eye should see, since any bin reaching a height inks its column up to there (bins are
// ordered, so every column holds one contiguous run of them). Bars thinner than a pixel
// would leave it to the rasteriser's samples which few of the column's bins show at all.
// The maximum is taken on the GPU, in the bar's vertex stage, from a buffer texture laid
// over the histogram's own buffer: nothing is read back.

#include "common/shader_interface.hpp"
#include "gl/gl.hpp"
#include "gl/gl_objects.hpp"
#include "gl/shared_program.hpp"
#include "gl/uniforms.hpp"

#include <glm/glm.hpp>

namespace internal {

// Instance j is part j % parts of the bar of pixel column j / parts of the frame: a column
// of more bins than a shader may loop over (LOOP_BUDGET, gl/limits.hpp) is drawn as `parts`
// bars over as many runs of its bins, each as high as its run's highest, which together ink
// what one bar would. Through the same unit-bar corners
// ("point") as the per-bin bars. "firstColumn" is the viewport pixel where the frame's
// first column starts, "halfViewport" half the viewport's size; the column's bins are those
// whose slot of the frame's width overlaps it. Heights as in gHistBarVertexShaderSrc
// (linear "ymax", or the logarithmic "logY" / "logRange"). The code puts ZV_GLSL_HEADER in
// front, then a line defining the sampler type (BINS: samplerBuffer, isamplerBuffer or
// usamplerBuffer, after the element type).
inline constexpr const char* gHistColumnVertexShaderBody = R"glsl(
layout(location = CHART_POINT_LOCATION) in vec2 point;
uniform BINS bins;
uniform int nbins;
uniform int parts;
uniform mat4 transform;
uniform vec2 halfViewport;
uniform float firstColumn;
uniform float ymax;
uniform int logY;
uniform vec2 logRange;
// The frame's own x of a viewport pixel position.
float frameX(float pixel) {
    return (pixel / halfViewport.x - 1.0 - transform[3][0]) / transform[0][0];
}
void main(void) {
    int column = gl_InstanceID / parts;
    int part = gl_InstanceID - column * parts;
    float left = firstColumn + float(column);
    float top = 0.0;
    if (point.y > 0.0) {
        float slots = 0.5 * float(nbins);
        int first = clamp(int(floor((frameX(left) + 1.0) * slots)), 0, nbins - 1);
        int last = clamp(int(ceil((frameX(left + 1.0) + 1.0) * slots)) - 1, first, nbins - 1);
        int run = (last - first) / parts + 1;
        first = min(first + part * run, last);
        last = min(first + run - 1, last);
        float freq = float(texelFetch(bins, first).r);
        for (int i = first + 1; i <= last; ++i)
            freq = max(freq, float(texelFetch(bins, i).r));
        float deltay = ymax != 0.0 ? 2.0 / ymax : 0.0;
        top = deltay * freq;
        if (logY == 1)
            top = freq > 0.0
                      ? max((log2(freq) * 0.30102999566398120 - logRange.x) * logRange.y, 0.0)
                      : 0.0;
    }
    vec4 p = transform * vec4(0.0, -1.0 + top, 0.0, 1.0);
    float x = left + (point.x > 0.0 ? 1.0 : 0.0);
    gl_Position = vec4(x / halfViewport.x - 1.0, p.y, 0.0, 1.0);
}
)glsl";

// Uniforms of the column program.
struct HistColumnUniforms {
    enum : int { TRANSFORM, HALF_VIEWPORT, FIRST_COLUMN, YMAX, LOG_Y, LOG_RANGE, BAR_COLOR, NBINS,
                 PARTS, COUNT };
    static constexpr const char* NAMES[COUNT] = {"transform", "halfViewport", "firstColumn",
                                                 "ymax",      "logY",         "logRange",
                                                 "barColor",  "nbins",        "parts"};
};

// The column bars of one histogram: its program and the buffer texture over its buffer,
// both of the share group.
class HistColumns {
public:
    // For the buffer `vbo` of `bins` values of `type` (GL_UNSIGNED_BYTE, GL_INT,
    // GL_UNSIGNED_INT or GL_FLOAT). A window of the histogram's group must be current.
    // Raises what the shader building raises.
    HistColumns(GLuint vbo, GLenum type, unsigned bins);

    // Whether a frame of `columns` pixel columns draws column bars: more bins than columns,
    // and a buffer the texture can cover.
    bool applies(int columns) const;

    // Draws one bar per column of the frame, whose scissor box is `frame` (window pixels),
    // in the viewport `viewport` of window `windowId`. The histogram's vertex array (unit
    // bar corners at CHART_POINT_LOCATION) must be bound. `logY` is the bar program's flag,
    // `logRange` its (origin, scale). Leaves the column program in use and no buffer texture
    // bound on unit 0.
    void draw(int windowId, const glm::mat4& frameTransform, const float color[4], float yMax,
              bool logY, const float logRange[2], const int frame[4], const int viewport[4]);

private:
    unsigned mBins;
    GLint mMaxTexels = 0;
    GLTexture mTexture;
    ProgramRef mProgram;
};

// The bar's fragment stage with the column bars' vertex stage, sampling `sampler`.
GLProgram makeHistColumnProgram(const char* sampler);

}  // namespace internal
