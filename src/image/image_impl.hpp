#pragma once
// An image: a caller-filled pixel buffer unpacked into a texture on every draw and shown on
// one quad through the window's colour map.

#include <memory>
#include <string>
#include <vector>

#include "gl/gl.hpp"
#include "gl/gl_objects.hpp"
#include "common/renderable.hpp"
#include "gl/shared_program.hpp"
#include "gl/uniforms.hpp"
#include "gl/vertex_arrays.hpp"
#include "image/image_layout.hpp"
#include "zarvo/defines.h"

namespace internal {

class font_impl;

// Binds the quad's vertex array for the window, making it on the first call for that window
// id. The quad's three buffers (positions, texture coordinates, indices) are made once per
// share group and released with the group's last window; the vertex array is one of the
// window's context resources (Context::resources), released with the window (or target).
// The window's context must be current.
void bindImageQuad(int windowId);
// The name of the window's quad vertex array (made as above when missing); leaves vertex
// array 0 bound.
GLuint imageQuadVAO(int windowId);
// Whether the window has its quad vertex array, for inspection.
bool hasImageQuadVAO(int windowId);

class image_impl : public AbstractRenderable {
public:
    // Creates the texture, the pixel buffer and the program in the current context.
    // Raises zv::DimensionError (argument 1 or 2) when width or height exceeds the context's
    // maximum texture size or the byte size does not fit 32 bits, before creating anything;
    // zv::Error (ZV_ERR_GL) when no window's context is current or the pixel buffer cannot
    // be allocated. A zero width or height is accepted: such an image draws nothing.
    image_impl(unsigned width, unsigned height, zv::ColorMode format, zv::ZVType type);
    ~image_impl() = default;
    image_impl(const image_impl&) = delete;
    image_impl& operator=(const image_impl&) = delete;

    // Unpacks the pixel buffer into the texture and draws the quad through the window's
    // colour map, scaled for the draw's area into its viewport. Nothing is drawn for an
    // empty image or without a colour map. Leaves no vertex array, texture, unpack
    // buffer or program bound; the colour map stays bound to uniform-buffer binding point 0
    // and texture unit 0 stays active. The sampler bound to unit 0 is unbound for the draw
    // (so nearest filtering and edge clamping hold after text drew with its own sampler) and
    // bound again afterwards. Raises zv::Error (ZV_ERR_GL) before drawing anything when the
    // application left the pixel buffer mapped.
    DrawnFrame render(const DrawContext& draw) override;
    // Maps element values from [min, max] (element units, see imageElementUnit) linearly
    // onto the colour map's rows from the next render on, clamped at both ends; any finite
    // range works, up to -FLT_MAX .. FLT_MAX. Raises zv::ArgumentError when either is not
    // finite or they are closer than MIN_VALUE_SPAN (equal, or a range of denormal width).
    void setValueRange(float min, float max);
    bool hasValueRange() const { return mHasRange; }
    // The range that maps onto the map: the one set, else [0, the element unit].
    float valueMin() const { return mHasRange ? mValueMin : 0.0f; }
    float valueMax() const;
    // Draw a colour bar in a strip at the right of the area in the next renders (until set
    // again): the window's colour map from valueMin() at the bottom to valueMax() at the
    // top, with five ticks labelled as the chart frame labels its even ticks (two decimals
    // where they name the ticks truly; see colorBarLabels); the image is laid out in what
    // remains.
    // An area narrower than 200 or lower than 60 pixels shows the image alone.
    void showColorBar(bool show) { mColorBar = show; }
    // The colour bar's title, written on a line above the bar (which is that much shorter);
    // null or empty for none (the default). Copies the text.
    void setColorBarTitle(const char* title) { mBarTitle = title ? title : ""; }
    const std::string& colorBarTitle() const { return mBarTitle; }
    bool showsColorBar() const { return mColorBar; }
    // Keep the aspect ratio in the next renders (until set again).
    void keepAspectRatio(bool keep) { mKeepAspectRatio = keep; }
    bool keepsAspectRatio() const { return mKeepAspectRatio; }

    unsigned width() const { return mWidth; }
    unsigned height() const { return mHeight; }
    zv::ColorMode pixelFormat() const { return mFormat; }
    zv::ZVType channelType() const;
    GLuint pbo() const { return mPBO.get(); }
    // Byte size of the pixel buffer.
    unsigned size() const { return static_cast<unsigned>(mSize); }

    // Unpacks the pixel buffer into the texture and draws the quad, whose corners are
    // (-1, -1) to (1, 1) with the first row at y = 1, through `matrix` into the current
    // viewport, sampling the texture with linear filtering when `linear` (nearest
    // otherwise). A chart's image series places the quad on its axes this way. Nothing is
    // drawn for an empty image or without a colour map. Leaves what render() leaves, and
    // raises what it raises.
    void drawQuad(const DrawContext& draw, const GLfloat matrix[16], bool linear);

    void bindResources(int windowId) { bindImageQuad(windowId); }
    void unbindResources() const { VertexArrayMap::unbind(); }

private:
    // The image alone, scaled for an area of width x height, into the viewport
    // (x, y, width, height), which the caller has set.
    void renderImage(const DrawContext& draw, const int viewport[4], int width, int height);
    // The constructor's steps: the checks made before anything is created (returning the
    // pixel buffer's byte size), then the texture, the pixel buffer and the program.
    uint64_t checkedByteSize(unsigned width, unsigned height) const;
    void createTexture();
    void createPixelBuffer();
    void createProgram();

    unsigned mWidth;
    unsigned mHeight;
    zv::ColorMode mFormat;
    GLenum mGLformat;
    GLenum mGLType;
    uint64_t mSize = 0;
    // Declared in reverse so that they go pixel buffer first, then texture, then program.
    ProgramRef mProgram;  // the group's image program
    GLTexture mTex;
    GLBuffer mPBO;
    bool mLinear = false;  // the texture's filtering as last set
    bool mKeepAspectRatio = false;
    bool mColorBar = false;
    // The colour bar's font (the group's chart font, taken on the first draw with a bar) and
    // labels, made again only when the range changes.
    std::shared_ptr<font_impl> mBarFont;
    std::vector<std::string> mBarLabels;
    std::string mBarTitle;
    float mLabelsMin = 0.0f, mLabelsMax = 0.0f;
    bool mHasRange = false;
    float mValueMin = 0.0f;
    float mValueMax = 1.0f;
    ImageValueMap mValueMap{1.0f, 0.0f, 1.0f};
};

}  // namespace internal
