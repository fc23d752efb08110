#include "image/image_impl.hpp"

#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "gl/gl_alloc.hpp"
#include "common/common.hpp"
#include "common/style.hpp"
#include "exception/raise.hpp"
#include "gl/check.hpp"
#include "font/chart_font.hpp"
#include "image/color_bar.hpp"
#include "image/color_bar_layout.hpp"
#include "gl/state_guard.hpp"
#include "image/image_shaders.hpp"
#include "gl/uniforms.hpp"
#include "gl/context.hpp"

namespace internal {

namespace {

// The quad every image draws: the same geometry for all images, so one set of buffers per
// share group (kept in the group's resources and released with its last window). Vertex
// arrays cannot be shared between contexts, so each window gets its own, pointing at these.
struct ImageQuad {
    GLBuffer positions;
    GLBuffer texcoords;
    GLBuffer indices;

    ImageQuad() {
        static const float vertices[12] = {-1.0f, -1.0f, 0.0f, 1.0f,  -1.0f, 0.0f,
                                           1.0f,  1.0f,  0.0f, -1.0f, 1.0f,  0.0f};
        // The bottom corners sample t = 1 and the top ones t = 0, so the first row of the
        // pixel data is shown at the top.
        static const float texcords[8] = {0.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 0.0f};
        static const GLuint indices_[6] = {0, 1, 2, 0, 2, 3};
        positions = GLBuffer::create();
        glBindBuffer(GL_ARRAY_BUFFER, positions.get());
        glBufferData(GL_ARRAY_BUFFER, sizeof(vertices), vertices, GL_STATIC_DRAW);
        texcoords = GLBuffer::create();
        glBindBuffer(GL_ARRAY_BUFFER, texcoords.get());
        glBufferData(GL_ARRAY_BUFFER, sizeof(texcords), texcords, GL_STATIC_DRAW);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        indices = GLBuffer::create();
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, indices.get());
        glBufferData(GL_ELEMENT_ARRAY_BUFFER, sizeof(indices_), indices_, GL_STATIC_DRAW);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    }
};

// The quad of the window's share group, made on first use with the window's context current.
ImageQuad& groupQuad(int windowId) {
    const Context* window = windowById(windowId);
    std::shared_ptr<ShareGroup> group = window ? window->group() : currentGroup();
    std::shared_ptr<void>& slot = group->resources[GROUP_IMAGE_QUAD];
    if (!slot) slot = std::make_shared<ImageQuad>();
    return *static_cast<ImageQuad*>(slot.get());
}

// The window's quad vertex array, kept with the window's context (see Context::resources)
// and released with it; null when there is none yet.
GLVertexArray* contextQuad(int windowId, bool make) {
    const Context* window = windowById(windowId);
    if (!window) return nullptr;
    std::map<int, std::shared_ptr<void>>& resources = window->resources();
    auto found = resources.find(static_cast<int>(CONTEXT_IMAGE_QUAD));
    if (found == resources.end()) {
        if (!make) return nullptr;
        ImageQuad& quad = groupQuad(windowId);
        auto vao = std::make_shared<GLVertexArray>(GLVertexArray::create());
        glBindVertexArray(vao->get());
        glEnableVertexAttribArray(IMAGE_POSITION_LOCATION);
        glEnableVertexAttribArray(IMAGE_TEXCOORD_LOCATION);
        glBindBuffer(GL_ARRAY_BUFFER, quad.positions.get());
        glVertexAttribPointer(IMAGE_POSITION_LOCATION, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
        glBindBuffer(GL_ARRAY_BUFFER, quad.texcoords.get());
        glVertexAttribPointer(IMAGE_TEXCOORD_LOCATION, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
        // Recorded in the vertex array.
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, quad.indices.get());
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        // Kept as the map holds it: nothing of the library's own types in the map's code.
        std::shared_ptr<void> held = vao;
        found = resources.emplace(static_cast<int>(CONTEXT_IMAGE_QUAD), std::move(held)).first;
    }
    return static_cast<GLVertexArray*>(found->second.get());
}

}  // namespace

void bindImageQuad(int windowId) {
    GLVertexArray* vao = contextQuad(windowId, true);
    glBindVertexArray(vao ? vao->get() : 0);
}

GLuint imageQuadVAO(int windowId) {
    const GLVertexArray* vao = contextQuad(windowId, true);
    return vao ? vao->get() : 0;
}

bool hasImageQuadVAO(int windowId) { return contextQuad(windowId, false) != nullptr; }

image_impl::image_impl(unsigned width, unsigned height, zv::ColorMode format, zv::ZVType type)
    : mWidth(width),
      mHeight(height),
      mFormat(format),
      mGLformat(ZVModeToGLColor(format)),
      mGLType(ZVTypeToGLenum(type)) {
    mSize = checkedByteSize(width, height);
    // The texture and buffer are bound and allocated here whatever the application left
    // bound or set (an unpack buffer would take the texture's null pointer as an offset).
    GLStateGuard guard;
    createTexture();
    createPixelBuffer();
    createProgram();
}

// Everything the driver would refuse in silence (every draw would then show nothing) is
// checked before anything is made.
uint64_t image_impl::checkedByteSize(unsigned width, unsigned height) const {
    if (!currentWindow()) {
        ZV_FAIL(ImageWithoutWindow, "Image::Image");
    }
    GLint maxSize = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    const unsigned maxDim = static_cast<unsigned>(maxSize);
    if (width > maxDim) {
        ZV_FAIL(ImageTooWide, "Image::Image", width, maxDim);
    }
    if (height > maxDim) {
        ZV_FAIL(ImageTooTall, "Image::Image", height, maxDim);
    }
    // Channels follow the OpenGL pixel format, so that the buffer always holds what the
    // upload reads, whatever ColorMode value was given.
    const uint64_t size = imageByteSize(width, height, channelCount(mGLformat),
                                        static_cast<unsigned>(bytesPerElement(mGLType)));
    // A row always fits (the width is bounded by the texture size), so it is the height that
    // makes the byte size too large for size().
    if (size > UINT32_MAX) {
        ZV_FAIL(ImageBufferTooLarge, "Image::Image", size);
    }
    return size;
}

void image_impl::createTexture() {
    mTex = GLTexture::create();
    glBindTexture(GL_TEXTURE_2D, mTex.get());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    // With an unpack buffer bound the null pointer below would be an offset into it.
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    allocateTexture2D(static_cast<GLint>(imageInternalFormat(mGLformat, mGLType)),
                      static_cast<GLsizei>(mWidth), static_cast<GLsizei>(mHeight), mGLformat,
                      mGLType, "Image::Image", "the image's texture");
}

void image_impl::createPixelBuffer() {
    glBindTexture(GL_TEXTURE_2D, 0);
    mPBO = makeDataBuffer(GL_PIXEL_UNPACK_BUFFER, mSize, GL_STREAM_DRAW, "Image::Image",
                          "the image's pixel buffer");
}

void image_impl::createProgram() {
    mProgram = groupProgram<ImageUniforms>(
        "image", [] { return makeProgram(gImageVertexShaderSrc, gImageFragmentShaderSrc); },
        [](UniformCache& u) {
            const GLuint program = u.program();
            glUniformBlockBinding(program, glGetUniformBlockIndex(program, "ColorMap"), 0);
            u.setConstant(ImageUniforms::TEX, 0);
        });
}

zv::ZVType image_impl::channelType() const { return GLenumToZVType(mGLType); }

void image_impl::setValueRange(float min, float max) {
    if (!std::isfinite(min)) {
        ZV_FAIL(ValueRangeMinNotFinite, "Image::setValueRange");
    }
    if (!std::isfinite(max)) {
        ZV_FAIL(ValueRangeMaxNotFinite, "Image::setValueRange");
    }
    if (min == max) {
        ZV_FAIL(ValueRangeEmpty, "Image::setValueRange");
    }
    if (std::fabs(static_cast<double>(max) - static_cast<double>(min)) < MIN_VALUE_SPAN) {
        ZV_FAIL(ValueRangeTooNarrow, "Image::setValueRange");
    }
    mHasRange = true;
    mValueMin = min;
    mValueMax = max;
    mValueMap = imageValueMap(mGLType, true, min, max);
}

float image_impl::valueMax() const {
    return mHasRange ? mValueMax : static_cast<float>(imageElementUnit(mGLType));
}

DrawnFrame image_impl::render(const DrawContext& draw) {
    // Nothing to show, or no map to show it through.
    if (mWidth == 0 || mHeight == 0 || draw.colorMap == 0 || draw.colorMapRows == 0) return {};
    const int width = draw.area.width, height = draw.area.height;
    const int vp[4] = {draw.viewport.x, draw.viewport.y, draw.viewport.width,
                       draw.viewport.height};
    if (!mColorBar) {
        renderImage(draw, vp, width, height);
        return {};
    }
    // The strip is laid out in the viewport's pixels (a grid cell's viewport is inset from
    // the area); the image gets the same share of the area as of the viewport.
    if (!mBarTitle.empty() && !mBarFont) mBarFont = getChartFont();
    const ColorBarLayout bar = colorBarLayout(
        vp[2], vp[3], mBarTitle.empty() ? -1.0f : colorBarTextWidth(*mBarFont, mBarTitle));
    if (!bar.shown) {
        renderImage(draw, vp, width, height);
        return {};
    }
    const int imageViewport[4] = {vp[0], vp[1], bar.imageWidth, vp[3]};
    glViewport(vp[0], vp[1], bar.imageWidth, vp[3]);
    const long long areaWidth = static_cast<long long>(width) * bar.imageWidth / vp[2];
    try {
        renderImage(draw, imageViewport, static_cast<int>(areaWidth), height);
    } catch (...) {
        // A refused draw (a pixel buffer still mapped) leaves the viewport as it found it.
        glViewport(vp[0], vp[1], vp[2], vp[3]);
        throw;
    }
    glViewport(vp[0], vp[1], vp[2], vp[3]);
    if (!mBarFont) mBarFont = getChartFont();
    if (mBarLabels.empty() || mLabelsMin != valueMin() || mLabelsMax != valueMax()) {
        mLabelsMin = valueMin();
        mLabelsMax = valueMax();
        mBarLabels = colorBarLabels(mLabelsMin, mLabelsMax);
    }
    // Ticks and text in the style's foreground.
    float foreground[4];
    foregroundOf(draw.style, foreground);
    drawColorBar(draw.windowId, bar, vp[2], vp[3], draw.colorMap, draw.colorMapRows, *mBarFont,
                 mBarLabels, mBarTitle, foreground);
    return {};
}

void image_impl::renderImage(const DrawContext& draw, const int viewport[4], int width,
                             int height) {
    // The aspect ratio is kept in the area the quad is drawn into: in a grid cell that is
    // the viewport inset from the cell, not the cell the window passes as the area.
    if (mKeepAspectRatio) {
        width = viewport[2];
        height = viewport[3];
    }
    const ImageScale s = imageScale(mWidth, mHeight, width, height, mKeepAspectRatio);
    const GLfloat matrix[16] = {s.sx, 0.0f, 0.0f, 0.0f, 0.0f, s.sy, 0.0f, 0.0f,
                                0.0f, 0.0f, 1.0f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f};
    drawQuad(draw, matrix, false);
}

void image_impl::drawQuad(const DrawContext& draw, const GLfloat matrix[16], bool linear) {
    if (mWidth == 0 || mHeight == 0 || draw.colorMap == 0 || draw.colorMapRows == 0) return;
    const int windowId = draw.windowId;

    // A buffer the application still has mapped cannot be read by the upload: the draw would
    // show the last picture and leave GL_INVALID_OPERATION behind.
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, mPBO.get());
    GLint mapped = GL_FALSE;
    glGetBufferParameteriv(GL_PIXEL_UNPACK_BUFFER, GL_BUFFER_MAPPED, &mapped);
    if (mapped) {
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
        ZV_FAIL(ImageBufferMapped, "Window::draw");
    }

    UniformCache& u = mProgram->uniforms;
    u.use(windowId);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, mTex.get());
    // The texture is the image's own, so its filtering is set only when a draw asks for the
    // other one (a series with linear filtering, then the image drawn alone).
    if (linear != mLinear) {
        const GLint filter = linear ? GL_LINEAR : GL_NEAREST;
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
        mLinear = linear;
    }

    // Rows are packed without padding, whatever their byte length.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(mWidth),
                    static_cast<GLsizei>(mHeight), mGLformat, mGLType, nullptr);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);

    // Uploads only what differs from the last image drawn with the group's program in this
    // window: the scale changes with the area, the map length with the window's map.
    u.setInt(ImageUniforms::IS_GRAYSCALE, mGLformat == GL_RED ? 1 : 0);
    u.setMatrix4(ImageUniforms::MATRIX, matrix);
    u.setFloat(ImageUniforms::CMAPLEN, static_cast<GLfloat>(draw.colorMapRows));
    const GLfloat valueMap[4] = {mValueMap.scale, mValueMap.offset, mValueMap.prescale, 0.0f};
    u.setVec4(ImageUniforms::VALUE_MAP, valueMap);
    glBindBufferBase(GL_UNIFORM_BUFFER, 0, draw.colorMap);

    bindResources(windowId);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
    unbindResources();

    glBindTexture(GL_TEXTURE_2D, 0);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    // glBindBufferBase also set the generic binding; only binding point 0 is meant to change.
    glBindBuffer(GL_UNIFORM_BUFFER, 0);
    glUseProgram(0);
}

}  // namespace internal
