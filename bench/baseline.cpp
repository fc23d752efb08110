#include "baseline.hpp"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>

#include "bars/bars_shaders.hpp"
#include "band/band_shaders.hpp"
#include "chart/chart_shaders.hpp"
#include "font/glyph_atlas.hpp"
#include "gl/gl.hpp"
#include "gl/limits.hpp"
#include "colormap/cmap_tables.hpp"
#include "error_bars/error_bars_shaders.hpp"
#include "font/text_layout.hpp"
#include "font/text_shaders.hpp"
#include "hist2d/hist2d_shaders.hpp"
#include "histogram/hist_columns.hpp"
#include "histogram/hist_shaders.hpp"
#include "image/image_layout.hpp"
#include "image/image_shaders.hpp"
#include "plot/marker_lod_shaders.hpp"
#include "plot/line_geometry.hpp"
#include "plot/line_lod.hpp"
#include "plot/plot_shaders.hpp"
#include "scatter/scatter_shaders.hpp"

namespace baseline {

namespace {

const float WHITE[4] = {1.0f, 1.0f, 1.0f, 1.0f};

GLuint compile(GLenum kind, const char* source) {
    GLuint s = glCreateShader(kind);
    glShaderSource(s, 1, &source, nullptr);
    glCompileShader(s);
    GLint ok = 0;
    glGetShaderiv(s, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[2048];
        glGetShaderInfoLog(s, sizeof(log), nullptr, log);
        throw std::runtime_error(std::string("baseline shader: ") + log);
    }
    return s;
}

GLuint program(const char* vs, const char* fs, const char* gs = nullptr) {
    GLuint v = compile(GL_VERTEX_SHADER, vs);
    GLuint f = compile(GL_FRAGMENT_SHADER, fs);
    GLuint g = gs ? compile(GL_GEOMETRY_SHADER, gs) : 0;
    GLuint p = glCreateProgram();
    glAttachShader(p, v);
    glAttachShader(p, f);
    if (g) glAttachShader(p, g);
    glLinkProgram(p);
    glDeleteShader(v);
    glDeleteShader(f);
    if (g) glDeleteShader(g);
    GLint ok = 0;
    glGetProgramiv(p, GL_LINK_STATUS, &ok);
    if (!ok) throw std::runtime_error("baseline program did not link");
    return p;
}

GLuint buffer(GLenum target, size_t bytes, const void* data, GLenum usage) {
    GLuint b = 0;
    glGenBuffers(1, &b);
    glBindBuffer(target, b);
    glBufferData(target, static_cast<GLsizeiptr>(bytes), data, usage);
    return b;
}

}  // namespace

std::string findFont(const char* family) {
    FcConfig* config = FcInitLoadConfigAndFonts();
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    std::string path;
    FcChar8* file = nullptr;
    if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch)
        path = reinterpret_cast<const char*>(file);
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    return path;
}

Renderer::Renderer(const std::string& fontFile, int fontSize) {
    image.program = program(internal::gImageVertexShaderSrc, internal::gImageFragmentShaderSrc);
    image.matrix = glGetUniformLocation(image.program, "matrix");
    image.isGray = glGetUniformLocation(image.program, "isGrayScale");
    border.program = program(internal::gChartVertexShaderSrc, internal::gChartFragmentShaderSrc);
    border.transform = glGetUniformLocation(border.program, "transform");
    border.color = glGetUniformLocation(border.program, "color");
    line.program = program(internal::gMarkerVertexShaderSrc, internal::gChartFragmentShaderSrc,
                           internal::gLineGeometryShaderSrc);
    line.transform = glGetUniformLocation(line.program, "transform");
    line.color = glGetUniformLocation(line.program, "color");
    line.halfViewport = glGetUniformLocation(line.program, "halfViewport");
    line.halfWidth = glGetUniformLocation(line.program, "halfWidth");
    line.stepMode = glGetUniformLocation(line.program, "stepMode");
    const std::string reduce =
        std::string(ZV_GLSL_HEADER "#define POINTS samplerBuffer\n#define BLOCK ") +
        std::to_string(internal::LineLod::BLOCK) + "\n#define SUMMARY_WIDTH " +
        std::to_string(internal::LineLod::SUMMARY_WIDTH) + "\n" +
        internal::gLodReduceFragmentShaderBody.data();
    lodReduce.program = program(internal::gLodQuadVertexShaderSrc, reduce.c_str());
    lodReduce.n = glGetUniformLocation(lodReduce.program, "n");
    lodReduce.columns = glGetUniformLocation(lodReduce.program, "columns");
    lodReduce.transform = glGetUniformLocation(lodReduce.program, "transform");
    lodReduce.origin = glGetUniformLocation(lodReduce.program, "origin");
    lodReduce.halfViewport = glGetUniformLocation(lodReduce.program, "halfViewport");
    lodReduce.firstColumn = glGetUniformLocation(lodReduce.program, "firstColumn");
    // Constant here: the library's loop budget, and one run a column (the workloads' lines
    // have at most 10^7 points, a share of a column well within the budget).
    glUseProgram(lodReduce.program);
    glUniform1i(glGetUniformLocation(lodReduce.program, "runBudget"), internal::LineLod::RUN_BUDGET);
    glUniform1i(glGetUniformLocation(lodReduce.program, "parts"), 1);
    // Every point read, as a plain reduction would (no block summaries); their sampler on a
    // unit of its own, apart from the points' buffer texture.
    glUniform1i(glGetUniformLocation(lodReduce.program, "blocksOn"), 0);
    glUniform1i(glGetUniformLocation(lodReduce.program, "blockSummary"), 2);
    glUseProgram(0);
    lodVerdict.program =
        program(internal::gLodQuadVertexShaderSrc, internal::gLodVerdictFragmentShaderSrc);
    lodVerdict.count = glGetUniformLocation(lodVerdict.program, "count");
    lodVerdict.wantOrdered = glGetUniformLocation(lodVerdict.program, "wantOrdered");
    lodLine.program = program(internal::gLodLineVertexShaderSrc, internal::gChartFragmentShaderSrc,
                              internal::gLineGeometryShaderSrc);
    lodLine.transform = glGetUniformLocation(lodLine.program, "transform");
    lodLine.origin = glGetUniformLocation(lodLine.program, "origin");
    lodLine.color = glGetUniformLocation(lodLine.program, "color");
    lodLine.halfViewport = glGetUniformLocation(lodLine.program, "halfViewport");
    lodLine.halfWidth = glGetUniformLocation(lodLine.program, "halfWidth");
    sprite.program =
        program(internal::gChartVertexShaderSrc, internal::gChartSpriteFragmentShaderSrc);
    sprite.transform = glGetUniformLocation(sprite.program, "transform");
    sprite.isYAxis = glGetUniformLocation(sprite.program, "isYAxis");
    marker.program = program(internal::gMarkerVertexShaderSrc,
                             internal::gMarkerSpriteFragmentShaderSrc,
                             internal::gMarkerGeometryShaderSrc);
    marker.halfViewport = glGetUniformLocation(marker.program, "halfViewport");
    marker.transform = glGetUniformLocation(marker.program, "transform");
    marker.color = glGetUniformLocation(marker.program, "line_color");
    marker.type = glGetUniformLocation(marker.program, "marker_type");
    marker.viewportOrigin = glGetUniformLocation(marker.program, "viewportOrigin");
    const std::string bitmap = std::string(ZV_GLSL_HEADER "#define POINTS samplerBuffer\n") +
                               internal::gMarkerBitmapFragmentShaderBody.data();
    markerBitmap.program = program(internal::gLodQuadVertexShaderSrc, bitmap.c_str());
    markerBitmap.n = glGetUniformLocation(markerBitmap.program, "n");
    markerBitmap.transform = glGetUniformLocation(markerBitmap.program, "transform");
    markerBitmap.origin = glGetUniformLocation(markerBitmap.program, "origin");
    markerBitmap.halfViewport = glGetUniformLocation(markerBitmap.program, "halfViewport");
    markerBitmap.gridOrigin = glGetUniformLocation(markerBitmap.program, "gridOrigin");
    markerBitmap.chunks = glGetUniformLocation(markerBitmap.program, "chunks");
    markerBitmap.type = glGetUniformLocation(markerBitmap.program, "markerType");
    // Both passes fetch x and y as single floats of the interleaved buffer.
    for (GLuint fetching : {lodReduce.program, markerBitmap.program}) {
        glUseProgram(fetching);
        glUniform2i(glGetUniformLocation(fetching, "layoutStride"), 2, 2);
        glUniform2i(glGetUniformLocation(fetching, "layoutOffset"), 0, 1);
    }
    glUseProgram(0);
    markerStamp.program =
        program(internal::gLodQuadVertexShaderSrc, internal::gMarkerStampFragmentShaderSrc);
    markerStamp.gridOrigin = glGetUniformLocation(markerStamp.program, "gridOrigin");
    markerStamp.viewportOrigin = glGetUniformLocation(markerStamp.program, "viewportOrigin");
    markerStamp.chunks = glGetUniformLocation(markerStamp.program, "chunks");
    markerStamp.color = glGetUniformLocation(markerStamp.program, "color");
    bar.program = program(internal::gHistBarVertexShaderSrc, internal::gHistBarFragmentShaderSrc);
    bar.transform = glGetUniformLocation(bar.program, "transform");
    bar.nbins = glGetUniformLocation(bar.program, "nbins");
    bar.ymax = glGetUniformLocation(bar.program, "ymax");
    const std::string columnSource = std::string(ZV_GLSL_HEADER "#define BINS samplerBuffer\n") +
                                     internal::gHistColumnVertexShaderBody;
    columnBar.program = program(columnSource.c_str(), internal::gHistBarFragmentShaderSrc);
    columnBar.transform = glGetUniformLocation(columnBar.program, "transform");
    columnBar.halfViewport = glGetUniformLocation(columnBar.program, "halfViewport");
    columnBar.firstColumn = glGetUniformLocation(columnBar.program, "firstColumn");
    text.program = program(internal::gTextVertexShaderSrc, internal::gTextFragmentShaderSrc);
    text.projection = glGetUniformLocation(text.program, "projectionMatrix");
    text.modelView = glGetUniformLocation(text.program, "modelViewMatrix");
    text.color = glGetUniformLocation(text.program, "textColor");
    text.glyphBox = glGetUniformLocation(text.program, "glyphBox");

    // Constant uniforms: the colour map of 256 rows at binding 0, sampler units 0, the
    // value map, the tick colour.
    glUseProgram(image.program);
    glUniform1i(glGetUniformLocation(image.program, "tex"), 0);
    glUniform1f(glGetUniformLocation(image.program, "cmaplen"),
                static_cast<float>(internal::CMAP_DEFAULT_ROWS));
    glUniformBlockBinding(image.program, glGetUniformBlockIndex(image.program, "ColorMap"), 0);
    // Values as they are: scale 1, offset 0 (an image with no value range set).
    glUniform2f(glGetUniformLocation(image.program, "valueMap"), 1.0f, 0.0f);
    glUseProgram(sprite.program);
    glUniform4fv(glGetUniformLocation(sprite.program, "tick_color"), 1, WHITE);
    glUseProgram(line.program);
    glUniform1f(line.halfWidth, 0.5f);
    glUseProgram(text.program);
    glUniform1i(glGetUniformLocation(text.program, "tex"), 0);
    glUseProgram(0);

    std::vector<float> rows(internal::CMAP_BLOCK_ROWS * 4);
    std::memcpy(rows.data(), internal::cmap_default, sizeof(internal::cmap_default));
    for (int r = internal::CMAP_DEFAULT_ROWS; r < internal::CMAP_BLOCK_ROWS; ++r)
        std::memcpy(&rows[r * 4], internal::cmap_default[internal::CMAP_DEFAULT_ROWS - 1], 16);
    mColorMap = buffer(GL_UNIFORM_BUFFER, rows.size() * sizeof(float), rows.data(),
                       GL_STATIC_DRAW);
    glBindBufferBase(GL_UNIFORM_BUFFER, 0, mColorMap);

    // The image quad.
    static const float vertices[12] = {-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0};
    static const float texcoords[8] = {0, 1, 1, 1, 1, 0, 0, 0};
    static const GLuint indices[6] = {0, 1, 2, 0, 2, 3};
    glGenVertexArrays(1, &quadVAO);
    glBindVertexArray(quadVAO);
    mQuadBuffers[0] = buffer(GL_ARRAY_BUFFER, sizeof(vertices), vertices, GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 0, nullptr);
    mQuadBuffers[1] = buffer(GL_ARRAY_BUFFER, sizeof(texcoords), texcoords, GL_STATIC_DRAW);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    mQuadBuffers[2] = buffer(GL_ELEMENT_ARRAY_BUFFER, sizeof(indices), indices, GL_STATIC_DRAW);
    glBindVertexArray(0);

    // The glyph set: one quad per printable character, the glyphs packed into shared
    // texture pages as the library packs them.
    FT_Library lib = nullptr;
    FT_Face face = nullptr;
    FT_Init_FreeType(&lib);
    if (FT_New_Face(lib, fontFile.c_str(), 0, &face) != 0)
        throw std::runtime_error("baseline: cannot open the font " + fontFile);
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(fontSize));
    mLoadedSize = fontSize;
    std::vector<std::vector<unsigned char>> bitmaps(95);
    std::vector<int> widths(95), heights(95), descents(95);
    std::vector<internal::GlyphBox> boxes(95);
    for (int code = 32; code <= 126; ++code) {
        const int k = code - 32;
        FT_Load_Glyph(face, FT_Get_Char_Index(face, static_cast<FT_ULong>(code)), FT_LOAD_DEFAULT);
        FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL);
        const FT_Bitmap& bm = face->glyph->bitmap;
        const int rows = static_cast<int>(bm.rows), width = static_cast<int>(bm.width);
        int texW = 1, texH = 1;
        while (texW < width) texW <<= 1;
        while (texH < rows) texH <<= 1;
        if (width == 0) texW = 0;
        if (rows == 0) texH = 0;
        boxes[k] = {texW, texH};
        widths[k] = width;
        heights[k] = rows;
        bitmaps[k].assign(static_cast<size_t>(width) * rows, 0);
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < width; ++j)
                bitmaps[k][static_cast<size_t>(i) * width + j] =
                    bm.buffer[static_cast<long>(rows - 1 - i) * bm.pitch + j];
        const FT_Glyph_Metrics& m = face->glyph->metrics;
        mAdvance[k] = static_cast<int>(face->glyph->advance.x >> 6);
        mBearingX[k] = static_cast<int>(m.horiBearingX >> 6);
        descents[k] = static_cast<int>((m.height - m.horiBearingY) >> 6);
        if (static_cast<int>(m.height >> 6) > mLineHeight) mLineHeight = static_cast<int>(m.height >> 6);
    }
    GLint maxTexture = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    const internal::AtlasLayout atlas = internal::packGlyphBoxes(boxes, maxTexture);
    for (int height : atlas.pageHeights) {
        GLuint page = 0;
        glGenTextures(1, &page);
        glBindTexture(GL_TEXTURE_2D, page);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, atlas.pageWidth, height, 0, GL_RED,
                     GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        mPages.push_back(page);
    }
    std::vector<float> quads;
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int k = 0; k < 95; ++k) {
        const internal::GlyphBox& box = atlas.boxes[static_cast<size_t>(k)];
        const internal::AtlasSlot& at = atlas.slots[static_cast<size_t>(k)];
        mGlyphPage[k] = at.page;
        if (box.width > 0) {
            const std::vector<unsigned char> texels =
                internal::glyphTexels(box, bitmaps[k], widths[k], heights[k]);
            glBindTexture(GL_TEXTURE_2D, mPages[static_cast<size_t>(at.page)]);
            glTexSubImage2D(GL_TEXTURE_2D, 0, at.x, at.y, box.width, box.height, GL_RED,
                            GL_UNSIGNED_BYTE, texels.data());
        }
        const internal::GlyphQuad quad =
            internal::glyphQuad(atlas, static_cast<size_t>(k), descents[k]);
        std::copy(quad.clamp, quad.clamp + 4, mGlyphClamp[k]);
        quads.insert(quads.end(), quad.vertices, quad.vertices + 16);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    glGenVertexArrays(1, &mTextVAO);
    glBindVertexArray(mTextVAO);
    mTextVBO = buffer(GL_ARRAY_BUFFER, quads.size() * sizeof(float), quads.data(), GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 16, nullptr);
    glVertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 16, reinterpret_cast<const void*>(8));
    glBindVertexArray(0);

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPointSize(10.0f);
}

Renderer::~Renderer() {
    glDeleteTextures(static_cast<GLsizei>(mPages.size()), mPages.data());
    glDeleteBuffers(1, &mTextVBO);
    glDeleteVertexArrays(1, &mTextVAO);
    glDeleteBuffers(3, mQuadBuffers);
    glDeleteVertexArrays(1, &quadVAO);
    glDeleteBuffers(1, &mColorMap);
    for (GLuint p : {image.program, border.program, line.program, lodReduce.program,
                     lodVerdict.program, lodLine.program, sprite.program, marker.program,
                     markerBitmap.program, markerStamp.program, bar.program, columnBar.program,
                     text.program})
        glDeleteProgram(p);
}

void Renderer::beginFrame(int w, int h) {
    glViewport(0, 0, w, h);
    glClear(FRAME_CLEAR_BITS);
}

void Renderer::layout(TextRun& run, int areaW, int areaH, float x, float y, const char* str,
                      int fontSize, bool vertical, const float color[4]) const {
    const float W = static_cast<float>(areaW), H = static_cast<float>(areaH);
    const float p[16] = {2 / W, 0, 0, 0, 0, 2 / H, 0, 0, 0, 0, -1, 0, -1, -1, 0, 1};
    std::memcpy(run.projection, p, sizeof(p));
    std::memcpy(run.color, color, sizeof(run.color));
    run.scale = static_cast<float>(fontSize) / static_cast<float>(mLoadedSize);
    const internal::GlyphMetrics metrics{mAdvance, mBearingX, mLineHeight, mLoadedSize};
    internal::layoutText(metrics, str, x, y, fontSize, vertical, [&](int k, int gx, int gy) {
        run.glyphs.push_back({k, static_cast<float>(gx), static_cast<float>(gy)});
    });
}

float Renderer::textWidth(const char* str, int fontSize) const {
    const internal::GlyphMetrics metrics{mAdvance, mBearingX, mLineHeight, mLoadedSize};
    internal::ScaledGlyphs g;
    internal::scaleGlyphs(metrics, fontSize, g);
    float width = 0.0f;
    for (const char* p = str; *p; ++p) {
        const int b = static_cast<signed char>(*p);
        if (b < internal::FIRST_GLYPH_CODE || b > internal::LAST_GLYPH_CODE) continue;
        const int k = b - internal::FIRST_GLYPH_CODE;
        width += static_cast<float>(g.bearingX[k] + g.afterBearing[k]);
    }
    return width;
}

void Renderer::drawText(const TextRun& run) {
    glEnable(GL_BLEND);
    glUseProgram(text.program);
    glUniformMatrix4fv(text.projection, 1, GL_FALSE, run.projection);
    glUniform4fv(text.color, 1, run.color);
    glBindVertexArray(mTextVAO);
    const float s = run.scale;
    float mv[16] = {s, 0, 0, 0, 0, s, 0, 0, 0, 0, s, 0, 0, 0, 0, 1};
    GLuint bound = 0;
    for (const TextRun::Glyph& g : run.glyphs) {
        const GLuint page = mPages.empty() ? 0 : mPages[static_cast<size_t>(mGlyphPage[g.k])];
        if (page != bound) {
            glBindTexture(GL_TEXTURE_2D, page);
            bound = page;
        }
        glUniform4fv(text.glyphBox, 1, mGlyphClamp[g.k]);
        mv[12] = g.x;
        mv[13] = g.y;
        glUniformMatrix4fv(text.modelView, 1, GL_FALSE, mv);
        glDrawArrays(GL_TRIANGLE_STRIP, 4 * g.k, 4);
    }
    glDisable(GL_BLEND);
}

// --- Image ---------------------------------------------------------------------------

Image::Image(Renderer& r, unsigned width, unsigned height, bool gray, bool float32)
    : mR(r), mW(width), mH(height), mFormat(gray ? GL_RED : GL_RGBA),
      mType(float32 ? GL_FLOAT : GL_UNSIGNED_BYTE) {
    mBytes = size_t(width) * height * (gray ? 1 : 4) * (float32 ? 4 : 1);
    glGenTextures(1, &mTex);
    glBindTexture(GL_TEXTURE_2D, mTex);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    glTexImage2D(GL_TEXTURE_2D, 0,
                 static_cast<GLint>(internal::imageInternalFormat(mFormat, mType)),
                 static_cast<GLsizei>(width), static_cast<GLsizei>(height), 0, mFormat, mType,
                 nullptr);
    mPBO = buffer(GL_PIXEL_UNPACK_BUFFER, mBytes, nullptr, GL_STREAM_DRAW);
    glUseProgram(mR.image.program);
    glUniform1i(mR.image.isGray, gray ? 1 : 0);
}

Image::~Image() {
    glDeleteTextures(1, &mTex);
    glDeleteBuffers(1, &mPBO);
}

void Image::draw(int areaW, int areaH, bool keepAspect) {
    const internal::ImageScale s = internal::imageScale(mW, mH, areaW, areaH, keepAspect);
    const float matrix[16] = {s.sx, 0, 0, 0, 0, s.sy, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    glUseProgram(mR.image.program);
    glBindTexture(GL_TEXTURE_2D, mTex);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, mPBO);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, static_cast<GLsizei>(mW), static_cast<GLsizei>(mH),
                    mFormat, mType, nullptr);
    glUniformMatrix4fv(mR.image.matrix, 1, GL_FALSE, matrix);
    glBindVertexArray(mR.quadVAO);
    glDrawElements(GL_TRIANGLES, 6, GL_UNSIGNED_INT, nullptr);
}

// --- Chart frame ------------------------------------------------------------------------

Chart::Chart(Renderer& r, int areaW, int areaH, const std::vector<std::string>& xLabels,
             const std::vector<std::string>& yLabels, const std::string& xTitle,
             const std::string& yTitle)
    : mR(r), mLayout(internal::chartLayout(areaW, areaH)) {
    const internal::ChartMetrics m;
    const std::vector<float> v = internal::chartVertices(m.tickCount);
    mTicks = internal::ticksPerAxis(m.tickCount);
    glGenVertexArrays(1, &mVAO);
    glBindVertexArray(mVAO);
    mVBO = buffer(GL_ARRAY_BUFFER, v.size() * sizeof(float), v.data(), GL_STATIC_DRAW);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindVertexArray(0);

    const int Wd = static_cast<int>(mLayout.dataWidth), Hd = static_cast<int>(mLayout.dataHeight);
    const int size = internal::CHART_TEXT_SIZE;
    // Labels that would touch are left out, every second (fourth, ...) one, as the library
    // does; all the bench's labels fit their margins, so none needs moving inside the area.
    const std::vector<int> offsets = internal::evenTicks(1, 0, m.tickCount).offsets;
    std::vector<internal::LabelSpan> xSpans, ySpans;
    for (int k = 0; k < mTicks; ++k) {
        const std::string& s = xLabels[k];
        const size_t i = 8 + 2 * (mTicks + k);
        internal::TextPos p = internal::xLabelPos(mLayout, m, v[i], v[i + 1], s.size());
        xSpans.push_back({p.x, p.x + r.textWidth(s.c_str(), size)});
        p = internal::yLabelPos(mLayout, m, v[8 + 2 * k], v[9 + 2 * k], yLabels[k].size());
        ySpans.push_back({p.y, p.y + static_cast<float>(size)});
    }
    const int xStride = internal::labelStride(xSpans.data(), offsets.data(), mTicks, 3.0f);
    const int yStride = internal::labelStride(ySpans.data(), offsets.data(), mTicks, 3.0f);
    for (int k = 0; k < mTicks; ++k) {
        if (offsets[k] % yStride != 0) continue;
        const std::string& s = yLabels[k];
        internal::TextPos p = internal::yLabelPos(mLayout, m, v[8 + 2 * k], v[9 + 2 * k], s.size());
        r.layout(mText, Wd, Hd, p.x, p.y, s.c_str(), size, false, WHITE);
    }
    for (int k = 0; k < mTicks; ++k) {
        if (offsets[k] % xStride != 0) continue;
        const std::string& s = xLabels[k];
        const size_t i = 8 + 2 * (mTicks + k);
        internal::TextPos p = internal::xLabelPos(mLayout, m, v[i], v[i + 1], s.size());
        r.layout(mText, Wd, Hd, p.x, p.y, s.c_str(), size, false, WHITE);
    }
    if (!yTitle.empty()) {
        internal::TextPos p = internal::yTitlePos(mLayout, m);
        r.layout(mText, Wd, Hd, p.x, p.y, yTitle.c_str(), size, true, WHITE);
    }
    if (!xTitle.empty()) {
        internal::TextPos p = internal::xTitlePos(mLayout, m);
        r.layout(mText, Wd, Hd, p.x, p.y, xTitle.c_str(), size, false, WHITE);
    }
}

Chart::~Chart() {
    glDeleteBuffers(1, &mVBO);
    glDeleteVertexArrays(1, &mVAO);
}

internal::PixelBox Chart::scissor(const int viewport[4]) const {
    return internal::frameScissor(mLayout, viewport);
}

void Chart::draw() {
    const float* t = &mLayout.transform[0][0];
    glUseProgram(mR.border.program);
    glUniformMatrix4fv(mR.border.transform, 1, GL_FALSE, t);
    glUniform4fv(mR.border.color, 1, WHITE);
    glBindVertexArray(mVAO);
    glDrawArrays(GL_LINE_LOOP, 0, 4);
    glUseProgram(mR.sprite.program);
    glUniformMatrix4fv(mR.sprite.transform, 1, GL_FALSE, t);
    glUniform1i(mR.sprite.isYAxis, 1);
    glDrawArrays(GL_POINTS, 4, mTicks);
    glUniform1i(mR.sprite.isYAxis, 0);
    glDrawArrays(GL_POINTS, 4 + mTicks, mTicks);
    mR.drawText(mText);
}

// --- Plot -------------------------------------------------------------------------------

Plot::Plot(Renderer& r, unsigned n, int marker, bool scatter, const float color[4])
    : mR(r), mN(n), mMarker(marker), mScatter(scatter) {
    std::memcpy(mColor, color, sizeof(mColor));
    glGenVertexArrays(1, &mVAO);
    glBindVertexArray(mVAO);
    mVBO = buffer(GL_ARRAY_BUFFER, bytes(), nullptr, GL_DYNAMIC_DRAW);
    // x and y, each a float of the interleaved pair.
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 1, GL_FLOAT, GL_FALSE, 8, nullptr);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 1, GL_FLOAT, GL_FALSE, 8, reinterpret_cast<const void*>(4));
    glBindVertexArray(0);
    if (!scatter) {
        glUseProgram(mR.lodReduce.program);
        glUniform1i(mR.lodReduce.n, static_cast<GLint>(n));
        glGenTextures(1, &mLodPoints);
        glBindTexture(GL_TEXTURE_BUFFER, mLodPoints);
        glTexBuffer(GL_TEXTURE_BUFFER, GL_R32F, mVBO);
        glBindTexture(GL_TEXTURE_BUFFER, 0);
        glGenTextures(1, &mLodReduced);
        glBindTexture(GL_TEXTURE_2D_ARRAY, mLodReduced);
        glTexImage3D(GL_TEXTURE_2D_ARRAY, 0, GL_RGBA32F, 2048, 1, 3, 0, GL_RGBA, GL_FLOAT,
                     nullptr);
        glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D_ARRAY, GL_TEXTURE_MAX_LEVEL, 0);
        glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
        glGenTextures(1, &mLodVerdict);
        glBindTexture(GL_TEXTURE_2D, mLodVerdict);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, 1, 1, 0, GL_RED, GL_UNSIGNED_BYTE, nullptr);
        glBindTexture(GL_TEXTURE_2D, 0);
        glGenFramebuffers(2, mLodFbo);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, mLodFbo[0]);
        for (GLint layer = 0; layer < 3; ++layer)
            glFramebufferTextureLayer(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + layer,
                                      mLodReduced, 0, layer);
        const GLenum buffers[3] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1,
                                   GL_COLOR_ATTACHMENT2};
        glDrawBuffers(3, buffers);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, mLodFbo[1]);
        glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                               mLodVerdict, 0);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        glGenQueries(2, mLodQueries);
    }
    if (marker != 0) {
        // One marker plot per baseline run: its colour and shape are set once.
        glUseProgram(mR.marker.program);
        glUniform4fv(mR.marker.color, 1, mColor);
        glUniform1i(mR.marker.type, marker);
        if (!scatter) {
            glUseProgram(mR.markerBitmap.program);
            glUniform1i(mR.markerBitmap.n, static_cast<GLint>(n));
            glUniform1i(mR.markerBitmap.type, marker);
            glUniform2f(mR.markerBitmap.origin, 0.0f, 0.0f);
            glUseProgram(mR.markerStamp.program);
            glUniform4fv(mR.markerStamp.color, 1, mColor);
            glGenTextures(1, &mBitmap);
            glBindTexture(GL_TEXTURE_2D, mBitmap);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32UI, 1024, 8, 0, GL_RGBA_INTEGER,
                         GL_UNSIGNED_INT, nullptr);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
            glBindTexture(GL_TEXTURE_2D, 0);
            glGenFramebuffers(1, &mBitmapFbo);
            glBindFramebuffer(GL_DRAW_FRAMEBUFFER, mBitmapFbo);
            glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                                   mBitmap, 0);
            glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
        }
    }
}

Plot::~Plot() {
    glDeleteBuffers(1, &mVBO);
    glDeleteVertexArrays(1, &mVAO);
    const GLuint textures[4] = {mLodPoints, mLodReduced, mLodVerdict, mBitmap};
    glDeleteTextures(4, textures);
    glDeleteFramebuffers(2, mLodFbo);
    glDeleteFramebuffers(1, &mBitmapFbo);
    glDeleteQueries(2, mLodQueries);
}

void Plot::draw(Chart& chart, const int viewport[4], float xmax, float xmin, float ymax,
                float ymin) {
    const glm::mat4 t = internal::dataTransform(chart.layout(), xmax, xmin, ymax, ymin);
    const internal::PixelBox box = chart.scissor(viewport);
    glScissor(box.x, box.y, box.width, box.height);
    glEnable(GL_SCISSOR_TEST);
    glBindVertexArray(mVAO);
    const bool reduced = !mScatter && drawLine(t, box, viewport);
    if (mMarker != 0) drawMarkers(t, box, viewport, reduced);
    glDisable(GL_SCISSOR_TEST);
    chart.draw();
}

// The level-of-detail passes of a dense line, as the library makes them (line_lod.hpp):
// four points a column, the verdict in two queries, then the reduced or the full line.
// Returns whether the line was reduced.
bool Plot::drawLine(const glm::mat4& t, const internal::PixelBox& box, const int viewport[4]) {
    const float half[2] = {0.5f * float(viewport[2]), 0.5f * float(viewport[3])};
    const int columns = box.width;
    // Steps are never reduced: a column's extremes would lose the order of its levels.
    if (mStepMode != 0 || !(columns > 0 && mN / 2u > unsigned(columns))) {
        glUseProgram(mR.line.program);
        glUniformMatrix4fv(mR.line.transform, 1, GL_FALSE, &t[0][0]);
        glUniform4fv(mR.line.color, 1, mColor);
        glUniform2f(mR.line.halfViewport, half[0], half[1]);
        if (mStepMode != 0) glUniform1i(mR.line.stepMode, mStepMode);
        glDrawArrays(GL_LINE_STRIP, 0, static_cast<GLsizei>(mN));
        if (mStepMode != 0) glUniform1i(mR.line.stepMode, 0);
        return false;
    }
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, mLodFbo[0]);
    glViewport(0, 0, columns + 2, 1);
    glBindTexture(GL_TEXTURE_BUFFER, mLodPoints);
    glUseProgram(mR.lodReduce.program);
    glUniform1i(mR.lodReduce.columns, columns);
    glUniformMatrix4fv(mR.lodReduce.transform, 1, GL_FALSE, &t[0][0]);
    glUniform2f(mR.lodReduce.origin, 0.0f, 0.0f);
    glUniform2f(mR.lodReduce.halfViewport, half[0], half[1]);
    glUniform1f(mR.lodReduce.firstColumn, float(box.x - viewport[0]));
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, mLodFbo[1]);
    glViewport(0, 0, 1, 1);
    glBindTexture(GL_TEXTURE_2D_ARRAY, mLodReduced);
    glUseProgram(mR.lodVerdict.program);
    glUniform1i(mR.lodVerdict.count, columns + 2);
    for (int q = 0; q < 2; ++q) {
        glUniform1i(mR.lodVerdict.wantOrdered, q == 0 ? 1 : 0);
        glBeginQuery(GL_ANY_SAMPLES_PASSED, mLodQueries[q]);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        glEndQuery(GL_ANY_SAMPLES_PASSED);
    }
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glEnable(GL_SCISSOR_TEST);
    glUseProgram(mR.lodLine.program);
    glUniformMatrix4fv(mR.lodLine.transform, 1, GL_FALSE, &t[0][0]);
    glUniform2f(mR.lodLine.origin, 0.0f, 0.0f);
    glUniform4fv(mR.lodLine.color, 1, mColor);
    glUniform2f(mR.lodLine.halfViewport, half[0], half[1]);
    glUniform1f(mR.lodLine.halfWidth, 0.5f);
    glBeginConditionalRender(mLodQueries[0], GL_QUERY_WAIT);
    glDrawArrays(GL_LINE_STRIP, 0, 4 * (columns + 2));
    glEndConditionalRender();
    glUseProgram(mR.line.program);
    glUniformMatrix4fv(mR.line.transform, 1, GL_FALSE, &t[0][0]);
    glUniform4fv(mR.line.color, 1, mColor);
    glUniform2f(mR.line.halfViewport, half[0], half[1]);
    glBeginConditionalRender(mLodQueries[1], GL_QUERY_WAIT);
    glDrawArrays(GL_LINE_STRIP, 0, static_cast<GLsizei>(mN));
    glEndConditionalRender();
    glBindTexture(GL_TEXTURE_2D_ARRAY, 0);
    glBindTexture(GL_TEXTURE_BUFFER, 0);
    return true;
}

// The markers one by one, or, on a reduced line, stamped from the bitmap of their centres
// when the points were ordered (as the library draws them: marker_lod_shaders.hpp).
void Plot::drawMarkers(const glm::mat4& t, const internal::PixelBox& box, const int viewport[4],
                       bool reduced) {
    glUseProgram(mR.marker.program);
    glUniformMatrix4fv(mR.marker.transform, 1, GL_FALSE, &t[0][0]);
    glUniform2f(mR.marker.halfViewport, 0.5f * float(viewport[2]), 0.5f * float(viewport[3]));
    glUniform2f(mR.marker.viewportOrigin, float(viewport[0]), float(viewport[1]));
    if (!reduced) {
        glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(mN));
        return;
    }
    const int chunks = (box.height + 9 + internal::MARKER_ROWS_PER_TEXEL - 1) /
                       internal::MARKER_ROWS_PER_TEXEL;
    const GLint grid[2] = {box.x - viewport[0] - 4, box.y - viewport[1] - 4};
    glBeginConditionalRender(mLodQueries[0], GL_QUERY_WAIT);
    glDisable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, mBitmapFbo);
    glViewport(0, 0, box.width + 9, chunks + 1);
    glBindTexture(GL_TEXTURE_BUFFER, mLodPoints);
    glUseProgram(mR.markerBitmap.program);
    glUniformMatrix4fv(mR.markerBitmap.transform, 1, GL_FALSE, &t[0][0]);
    glUniform2f(mR.markerBitmap.halfViewport, 0.5f * float(viewport[2]),
                0.5f * float(viewport[3]));
    glUniform2iv(mR.markerBitmap.gridOrigin, 1, grid);
    glUniform1i(mR.markerBitmap.chunks, chunks);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindTexture(GL_TEXTURE_BUFFER, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glEnable(GL_SCISSOR_TEST);
    glBindTexture(GL_TEXTURE_2D, mBitmap);
    glUseProgram(mR.markerStamp.program);
    glUniform2iv(mR.markerStamp.gridOrigin, 1, grid);
    glUniform2iv(mR.markerStamp.viewportOrigin, 1, viewport);
    glUniform1i(mR.markerStamp.chunks, chunks);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glBindTexture(GL_TEXTURE_2D, 0);
    glEndConditionalRender();
    glUseProgram(mR.marker.program);
    glBeginConditionalRender(mLodQueries[1], GL_QUERY_WAIT);
    glDrawArrays(GL_POINTS, 0, static_cast<GLsizei>(mN));
    glEndConditionalRender();
}

void Plot::drawMany(Chart& chart, const int viewport[4], Plot* const* plots, size_t n,
                    float xmax, float xmin, float ymax, float ymin) {
    const glm::mat4 t = internal::dataTransform(chart.layout(), xmax, xmin, ymax, ymin);
    const internal::PixelBox box = chart.scissor(viewport);
    glScissor(box.x, box.y, box.width, box.height);
    glEnable(GL_SCISSOR_TEST);
    const Renderer& r = plots[0]->mR;
    glUseProgram(r.line.program);
    glUniformMatrix4fv(r.line.transform, 1, GL_FALSE, &t[0][0]);
    glUniform2f(r.line.halfViewport, 0.5f * float(viewport[2]), 0.5f * float(viewport[3]));
    for (size_t k = 0; k < n; ++k) {
        glBindVertexArray(plots[k]->mVAO);
        glUniform4fv(r.line.color, 1, plots[k]->mColor);
        glDrawArrays(GL_LINE_STRIP, 0, static_cast<GLsizei>(plots[k]->mN));
    }
    glDisable(GL_SCISSOR_TEST);
    chart.draw();
}

// --- Histogram --------------------------------------------------------------------------

Histogram::Histogram(Renderer& r, Chart& chart, unsigned bins, float ymax, const float color[4])
    : mR(r), mBins(bins) {
    glGenVertexArrays(1, &mVAO);
    glBindVertexArray(mVAO);
    glBindBuffer(GL_ARRAY_BUFFER, chart.vbo());
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    mVBO = buffer(GL_ARRAY_BUFFER, bytes(), nullptr, GL_DYNAMIC_DRAW);
    glEnableVertexAttribArray(1);
    glVertexAttribPointer(1, 1, GL_FLOAT, GL_FALSE, 0, nullptr);
    glVertexAttribDivisor(1, 1);
    glBindVertexArray(0);
    // One histogram per baseline run: its colour, bin count and y maximum are set once.
    glUseProgram(mR.bar.program);
    glUniform4fv(glGetUniformLocation(mR.bar.program, "barColor"), 1, color);
    glUniform1f(mR.bar.nbins, static_cast<float>(bins));
    glUniform1f(mR.bar.ymax, ymax);
    const GLuint columns = mR.columnBar.program;
    glUseProgram(columns);
    glUniform4fv(glGetUniformLocation(columns, "barColor"), 1, color);
    glUniform1i(glGetUniformLocation(columns, "nbins"), static_cast<GLint>(bins));
    glUniform1f(glGetUniformLocation(columns, "ymax"), ymax);
    glGenTextures(1, &mBinsTexture);
    glBindTexture(GL_TEXTURE_BUFFER, mBinsTexture);
    glTexBuffer(GL_TEXTURE_BUFFER, GL_R32F, mVBO);
    glBindTexture(GL_TEXTURE_BUFFER, 0);
}

Histogram::~Histogram() {
    glDeleteBuffers(1, &mVBO);
    glDeleteVertexArrays(1, &mVAO);
    glDeleteTextures(1, &mBinsTexture);
}

void Histogram::draw(Chart& chart, const int viewport[4]) {
    if (mBins > 0) {
        const internal::PixelBox box = chart.scissor(viewport);
        glScissor(box.x, box.y, box.width, box.height);
        glEnable(GL_SCISSOR_TEST);
        glBindVertexArray(mVAO);
        if (box.width > 0 && mBins > unsigned(box.width)) {
            glUseProgram(mR.columnBar.program);
            glUniformMatrix4fv(mR.columnBar.transform, 1, GL_FALSE,
                               &chart.layout().transform[0][0]);
            glUniform2f(mR.columnBar.halfViewport, 0.5f * float(viewport[2]),
                        0.5f * float(viewport[3]));
            glUniform1f(mR.columnBar.firstColumn, float(box.x - viewport[0]));
            glBindTexture(GL_TEXTURE_BUFFER, mBinsTexture);
            glDrawArraysInstanced(GL_TRIANGLE_FAN, 0, 4, box.width);
            glBindTexture(GL_TEXTURE_BUFFER, 0);
        } else {
            glUseProgram(mR.bar.program);
            glUniformMatrix4fv(mR.bar.transform, 1, GL_FALSE, &chart.layout().transform[0][0]);
            glDrawArraysInstanced(GL_TRIANGLE_FAN, 0, 4, static_cast<GLsizei>(mBins));
        }
        glDisable(GL_SCISSOR_TEST);
    }
    chart.draw();
}

// --- 2-D histogram -----------------------------------------------------------------------

namespace {
GLuint floatTexture(GLsizei w, GLsizei h, GLuint& fbo) {
    GLuint t = 0;
    glGenTextures(1, &t);
    glBindTexture(GL_TEXTURE_2D, t);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_R32F, w, h, 0, GL_RED, GL_FLOAT, nullptr);
    glBindTexture(GL_TEXTURE_2D, 0);
    glGenFramebuffers(1, &fbo);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, fbo);
    glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, t, 0);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    return t;
}
}  // namespace

Histogram2D::Histogram2D(Renderer& r, unsigned n, unsigned nx, unsigned ny)
    : mR(r), mN(n), mNx(nx), mNy(ny) {
    mBin = program(internal::gHist2DBinVertexShaderSrc, internal::gHist2DBinFragmentShaderSrc);
    mMaxProgram =
        program(internal::gHist2DMaxVertexShaderSrc, internal::gHist2DMaxFragmentShaderSrc);
    mShow = program(internal::gHist2DShowVertexShaderSrc, internal::gHist2DShowFragmentShaderSrc);
    // Constant uniforms, set once: the range, the bins, the samplers' units, the map.
    glUseProgram(mBin);
    glUniform4f(glGetUniformLocation(mBin, "range"), 0.0f, 0.0f, 1.0f, 1.0f);
    glUniform2f(glGetUniformLocation(mBin, "bins"), float(nx), float(ny));
    glUseProgram(mMaxProgram);
    glUniform1i(glGetUniformLocation(mMaxProgram, "counts"), 0);
    glUniform1i(glGetUniformLocation(mMaxProgram, "nx"), GLint(nx));
    glUseProgram(mShow);
    glUniformBlockBinding(mShow, glGetUniformBlockIndex(mShow, "ColorMap"), 0);
    glUniform1i(glGetUniformLocation(mShow, "counts"), 0);
    glUniform1i(glGetUniformLocation(mShow, "maxCount"), 1);
    glUniform1i(glGetUniformLocation(mShow, "logScale"), 0);
    glUniform1f(glGetUniformLocation(mShow, "cmaplen"), float(internal::CMAP_DEFAULT_ROWS));
    glUniform4f(glGetUniformLocation(mShow, "corners"), -1.0f, -1.0f, 1.0f, 1.0f);
    mShowTransform = glGetUniformLocation(mShow, "transform");
    glUseProgram(0);
    mVBO = buffer(GL_ARRAY_BUFFER, bytes(), nullptr, GL_DYNAMIC_DRAW);
    glGenVertexArrays(1, &mPointsVAO);
    glBindVertexArray(mPointsVAO);
    glBindBuffer(GL_ARRAY_BUFFER, mVBO);
    glEnableVertexAttribArray(0);
    glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glGenVertexArrays(1, &mEmptyVAO);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    mCounts = floatTexture(GLsizei(nx), GLsizei(ny), mCountsFbo);
    mMax = floatTexture(1, 1, mMaxFbo);
    const unsigned perFragment = (n + nx * ny - 1) / (nx * ny);
    mByFragments = GLEW_VERSION_4_2 && perFragment <= unsigned(internal::LOOP_BUDGET);
    if (mByFragments) {
        const std::string header = "#version 420\n#define POINTS samplerBuffer\n";
        mAtomic = program(internal::gHist2DQuadVertexShaderSrc,
                          (header + internal::gHist2DAtomicBinFragmentShaderBody).c_str());
        mTake = program(internal::gHist2DQuadVertexShaderSrc,
                        (header + internal::gHist2DTakeFragmentShaderBody).c_str());
        glUseProgram(mAtomic);
        glUniform4f(glGetUniformLocation(mAtomic, "range"), 0.0f, 0.0f, 1.0f, 1.0f);
        glUniform2f(glGetUniformLocation(mAtomic, "bins"), float(nx), float(ny));
        glUniform1i(glGetUniformLocation(mAtomic, "n"), GLint(n));
        glUniform1i(glGetUniformLocation(mAtomic, "perFragment"), GLint(perFragment));
        glUniform1i(glGetUniformLocation(mAtomic, "points"), 0);
        glUniform1i(glGetUniformLocation(mAtomic, "binCounts"), 0);
        glUseProgram(mTake);
        glUniform1i(glGetUniformLocation(mTake, "binCounts"), 0);
        glUseProgram(0);
        const std::vector<GLuint> zeros(size_t(nx) * ny, 0u);
        glGenTextures(1, &mBinImage);
        glBindTexture(GL_TEXTURE_2D, mBinImage);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_R32UI, GLsizei(nx), GLsizei(ny), 0, GL_RED_INTEGER,
                     GL_UNSIGNED_INT, zeros.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        glGenTextures(1, &mPointTexture);
        glBindTexture(GL_TEXTURE_BUFFER, mPointTexture);
        glTexBuffer(GL_TEXTURE_BUFFER, GL_RG32F, mVBO);
        glBindTexture(GL_TEXTURE_BUFFER, 0);
    }
}

Histogram2D::~Histogram2D() {
    glDeleteFramebuffers(1, &mCountsFbo);
    glDeleteFramebuffers(1, &mMaxFbo);
    glDeleteTextures(1, &mCounts);
    glDeleteTextures(1, &mMax);
    glDeleteBuffers(1, &mVBO);
    glDeleteVertexArrays(1, &mPointsVAO);
    glDeleteVertexArrays(1, &mEmptyVAO);
    glDeleteProgram(mBin);
    glDeleteProgram(mMaxProgram);
    glDeleteProgram(mShow);
    glDeleteTextures(1, &mBinImage);
    glDeleteTextures(1, &mPointTexture);
    glDeleteProgram(mAtomic);
    glDeleteProgram(mTake);
}

void Histogram2D::draw(Chart& chart, const int viewport[4]) {
    // The counts, then the largest count, from zero, one pixel a point; the renderer's
    // clear colour, blend function and point size are put back after.
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glPointSize(1.0f);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, mCountsFbo);
    glViewport(0, 0, GLsizei(mNx), GLsizei(mNy));
    glClear(GL_COLOR_BUFFER_BIT);
    if (mByFragments) {
        glMemoryBarrier(GL_SHADER_IMAGE_ACCESS_BARRIER_BIT);
        glBindImageTexture(0, mBinImage, 0, GL_FALSE, 0, GL_READ_WRITE, GL_R32UI);
        glUseProgram(mAtomic);
        glBindVertexArray(mEmptyVAO);
        glBindTexture(GL_TEXTURE_BUFFER, mPointTexture);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        glBindTexture(GL_TEXTURE_BUFFER, 0);
        glMemoryBarrier(GL_SHADER_IMAGE_ACCESS_BARRIER_BIT);
        glUseProgram(mTake);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        glBindImageTexture(0, 0, 0, GL_FALSE, 0, GL_READ_ONLY, GL_R8);
    } else {
        glUseProgram(mBin);
        glBindVertexArray(mPointsVAO);
        glDrawArrays(GL_POINTS, 0, GLsizei(mN));
    }
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, mMaxFbo);
    glViewport(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glBlendEquation(GL_MAX);
    glUseProgram(mMaxProgram);
    glBindVertexArray(mEmptyVAO);
    glBindTexture(GL_TEXTURE_2D, mCounts);
    glDrawArrays(GL_POINTS, 0, GLsizei(mNx * mNy));
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_BLEND);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glPointSize(10.0f);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    // The bins through the colour map, clipped to the frame.
    const internal::PixelBox box = chart.scissor(viewport);
    glScissor(box.x, box.y, box.width, box.height);
    glEnable(GL_SCISSOR_TEST);
    glUseProgram(mShow);
    glUniformMatrix4fv(mShowTransform, 1, GL_FALSE, &chart.layout().transform[0][0]);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, mMax);
    glActiveTexture(GL_TEXTURE0);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glDisable(GL_SCISSOR_TEST);
    chart.draw();
}

Band::Band(Renderer& r, unsigned n, const float color[4]) : mN(n) {
    (void)r;
    std::copy(color, color + 4, mColor);
    mProgram = program(internal::gBandVertexShaderSrc, internal::gChartFragmentShaderSrc,
                       internal::gBandGeometryShaderSrc);
    mTransform = glGetUniformLocation(mProgram, "transform");
    glUseProgram(mProgram);
    glUniform4fv(glGetUniformLocation(mProgram, "color"), 1, mColor);
    glUseProgram(0);
    mVBO = buffer(GL_ARRAY_BUFFER, bytes(), nullptr, GL_DYNAMIC_DRAW);
    glGenVertexArrays(1, &mVAO);
    glBindVertexArray(mVAO);
    glBindBuffer(GL_ARRAY_BUFFER, mVBO);
    glEnableVertexAttribArray(internal::CHART_POINT_LOCATION);
    glVertexAttribPointer(internal::CHART_POINT_LOCATION, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    // The upper curve's points follow the lower's.
    glEnableVertexAttribArray(internal::BAND_UPPER_LOCATION);
    glVertexAttribPointer(internal::BAND_UPPER_LOCATION, 2, GL_FLOAT, GL_FALSE, 0,
                          reinterpret_cast<const void*>(size_t(n) * 2 * sizeof(float)));
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

Band::~Band() {
    glDeleteVertexArrays(1, &mVAO);
    glDeleteBuffers(1, &mVBO);
    glDeleteProgram(mProgram);
}

void Band::draw(Chart& chart, const int viewport[4], float xmax, float xmin, float ymax,
                float ymin) {
    const glm::mat4 t = internal::dataTransform(chart.layout(), xmax, xmin, ymax, ymin);
    const internal::PixelBox box = chart.scissor(viewport);
    glScissor(box.x, box.y, box.width, box.height);
    glEnable(GL_SCISSOR_TEST);
    glUseProgram(mProgram);
    glUniformMatrix4fv(mTransform, 1, GL_FALSE, &t[0][0]);
    glBindVertexArray(mVAO);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
    glDrawArrays(GL_LINE_STRIP, 0, GLsizei(mN));
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_BLEND);
    glDisable(GL_SCISSOR_TEST);
    chart.draw();
}

ColorScatter::ColorScatter(Renderer& r, unsigned n, float valueMin, float valueMax) : mN(n) {
    (void)r;
    mProgram = program(internal::gScatterVertexShaderSrc, internal::gScatterFragmentShaderSrc,
                       internal::gScatterGeometryShaderSrc);
    // Constant uniforms, set once: linear axes from 0, sizes from the buffer, the range,
    // the map and the marker.
    glUseProgram(mProgram);
    glUniformBlockBinding(mProgram, glGetUniformBlockIndex(mProgram, "ColorMap"), 0);
    glUniform2f(glGetUniformLocation(mProgram, "origin"), 0.0f, 0.0f);
    glUniform2i(glGetUniformLocation(mProgram, "logAxes"), 0, 0);
    glUniform1i(glGetUniformLocation(mProgram, "sized"), 1);
    glUniform1f(glGetUniformLocation(mProgram, "markerSize"), 10.0f);
    glUniform2f(glGetUniformLocation(mProgram, "range"), valueMin, valueMax);
    glUniform1f(glGetUniformLocation(mProgram, "cmaplen"), float(internal::CMAP_DEFAULT_ROWS));
    glUniform1i(glGetUniformLocation(mProgram, "marker_type"), 1);
    mTransform = glGetUniformLocation(mProgram, "transform");
    mHalfViewport = glGetUniformLocation(mProgram, "halfViewport");
    mViewportOrigin = glGetUniformLocation(mProgram, "viewportOrigin");
    glUseProgram(0);
    mVBO = buffer(GL_ARRAY_BUFFER, size_t(n) * 2 * sizeof(float), nullptr, GL_DYNAMIC_DRAW);
    mValues = buffer(GL_ARRAY_BUFFER, size_t(n) * sizeof(float), nullptr, GL_DYNAMIC_DRAW);
    mSizes = buffer(GL_ARRAY_BUFFER, size_t(n) * sizeof(float), nullptr, GL_DYNAMIC_DRAW);
    glGenVertexArrays(1, &mVAO);
    glBindVertexArray(mVAO);
    glBindBuffer(GL_ARRAY_BUFFER, mVBO);
    glEnableVertexAttribArray(internal::CHART_POINT_LOCATION);
    glVertexAttribPointer(internal::CHART_POINT_LOCATION, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, mValues);
    glEnableVertexAttribArray(internal::SCATTER_VALUE_LOCATION);
    glVertexAttribPointer(internal::SCATTER_VALUE_LOCATION, 1, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, mSizes);
    glEnableVertexAttribArray(internal::SCATTER_SIZE_LOCATION);
    glVertexAttribPointer(internal::SCATTER_SIZE_LOCATION, 1, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

ColorScatter::~ColorScatter() {
    glDeleteBuffers(1, &mVBO);
    glDeleteBuffers(1, &mValues);
    glDeleteBuffers(1, &mSizes);
    glDeleteVertexArrays(1, &mVAO);
    glDeleteProgram(mProgram);
}

void ColorScatter::draw(Chart& chart, const int viewport[4], float xmax, float xmin, float ymax,
                        float ymin) {
    const glm::mat4 t = internal::dataTransform(chart.layout(), xmax, xmin, ymax, ymin);
    const internal::PixelBox box = chart.scissor(viewport);
    glScissor(box.x, box.y, box.width, box.height);
    glEnable(GL_SCISSOR_TEST);
    glUseProgram(mProgram);
    glUniformMatrix4fv(mTransform, 1, GL_FALSE, &t[0][0]);
    glUniform2f(mHalfViewport, 0.5f * float(viewport[2]), 0.5f * float(viewport[3]));
    glUniform2f(mViewportOrigin, float(viewport[0]), float(viewport[1]));
    glBindVertexArray(mVAO);
    glDrawArrays(GL_POINTS, 0, GLsizei(mN));
    glDisable(GL_SCISSOR_TEST);
    chart.draw();
}

ErrorBars::ErrorBars(Renderer& r, unsigned n, const float color[4]) : mN(n) {
    (void)r;
    mProgram = program(internal::gErrorBarsVertexShaderSrc, internal::gChartFragmentShaderSrc,
                       internal::gErrorBarsGeometryShaderSrc);
    // Constant uniforms, set once: linear axes from 0, the errors' kinds, the colour, a
    // line 1 pixel wide and caps 6 across.
    glUseProgram(mProgram);
    glUniform2f(glGetUniformLocation(mProgram, "origin"), 0.0f, 0.0f);
    glUniform2i(glGetUniformLocation(mProgram, "logAxes"), 0, 0);
    glUniform1i(glGetUniformLocation(mProgram, "errorsY"), 2);
    glUniform1i(glGetUniformLocation(mProgram, "errorsX"), 1);
    glUniform1f(glGetUniformLocation(mProgram, "halfWidth"), 0.5f);
    glUniform1f(glGetUniformLocation(mProgram, "capHalf"), 3.0f);
    glUniform4fv(glGetUniformLocation(mProgram, "color"), 1, color);
    mTransform = glGetUniformLocation(mProgram, "transform");
    mHalfViewport = glGetUniformLocation(mProgram, "halfViewport");
    glUseProgram(0);
    mVBO = buffer(GL_ARRAY_BUFFER, size_t(n) * 2 * sizeof(float), nullptr, GL_DYNAMIC_DRAW);
    mYErrors = buffer(GL_ARRAY_BUFFER, size_t(n) * 2 * sizeof(float), nullptr, GL_DYNAMIC_DRAW);
    mXErrors = buffer(GL_ARRAY_BUFFER, size_t(n) * sizeof(float), nullptr, GL_DYNAMIC_DRAW);
    glGenVertexArrays(1, &mVAO);
    glBindVertexArray(mVAO);
    glBindBuffer(GL_ARRAY_BUFFER, mVBO);
    glEnableVertexAttribArray(internal::CHART_POINT_LOCATION);
    glVertexAttribPointer(internal::CHART_POINT_LOCATION, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, mYErrors);
    glEnableVertexAttribArray(internal::ERROR_Y_LOCATION);
    glVertexAttribPointer(internal::ERROR_Y_LOCATION, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindBuffer(GL_ARRAY_BUFFER, mXErrors);
    glEnableVertexAttribArray(internal::ERROR_X_LOCATION);
    glVertexAttribPointer(internal::ERROR_X_LOCATION, 1, GL_FLOAT, GL_FALSE, 0, nullptr);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

ErrorBars::~ErrorBars() {
    glDeleteBuffers(1, &mVBO);
    glDeleteBuffers(1, &mYErrors);
    glDeleteBuffers(1, &mXErrors);
    glDeleteVertexArrays(1, &mVAO);
    glDeleteProgram(mProgram);
}

void ErrorBars::draw(Chart& chart, const int viewport[4], float xmax, float xmin, float ymax,
                     float ymin) {
    const glm::mat4 t = internal::dataTransform(chart.layout(), xmax, xmin, ymax, ymin);
    const internal::PixelBox box = chart.scissor(viewport);
    glScissor(box.x, box.y, box.width, box.height);
    glEnable(GL_SCISSOR_TEST);
    glUseProgram(mProgram);
    glUniformMatrix4fv(mTransform, 1, GL_FALSE, &t[0][0]);
    glUniform2f(mHalfViewport, 0.5f * float(viewport[2]), 0.5f * float(viewport[3]));
    glBindVertexArray(mVAO);
    glDrawArrays(GL_POINTS, 0, GLsizei(mN));
    glDisable(GL_SCISSOR_TEST);
    chart.draw();
}

Bars::Bars(Renderer& r, unsigned n, const float lowColor[4], const float highColor[4]) : mN(n) {
    (void)r;
    std::copy(lowColor, lowColor + 4, mLowColor);
    std::copy(highColor, highColor + 4, mHighColor);
    mDraw = program(internal::gBarsVertexShaderSrc, internal::gChartFragmentShaderSrc,
                    internal::gBarsGeometryShaderSrc);
    {
        GLuint v = compile(GL_VERTEX_SHADER, internal::gBarsStackVertexShaderSrc);
        GLuint f = compile(GL_FRAGMENT_SHADER, internal::gBarsStackFragmentShaderSrc);
        mStack = glCreateProgram();
        glAttachShader(mStack, v);
        glAttachShader(mStack, f);
        const char* varyings[] = {"top"};
        glTransformFeedbackVaryings(mStack, 1, varyings, GL_INTERLEAVED_ATTRIBS);
        glLinkProgram(mStack);
        glDeleteShader(v);
        glDeleteShader(f);
    }
    // Constant uniforms, set once: linear axes, one place of 0.8, upright bars.
    glUseProgram(mStack);
    glUniform1f(glGetUniformLocation(mStack, "baseWeight"), 1.0f);
    glUseProgram(mDraw);
    glUniform2f(glGetUniformLocation(mDraw, "origin"), -0.5f, 0.0f);
    glUniform2i(glGetUniformLocation(mDraw, "logAxes"), 0, 0);
    glUniform2f(glGetUniformLocation(mDraw, "logFloor"), 0.0f, 0.0f);
    glUniform1i(glGetUniformLocation(mDraw, "horizontal"), 0);
    glUniform2f(glGetUniformLocation(mDraw, "place"), -0.4f, 0.8f);
    mTransform = glGetUniformLocation(mDraw, "transform");
    mColor = glGetUniformLocation(mDraw, "color");
    mStacked = glGetUniformLocation(mDraw, "stacked");
    glUseProgram(0);
    mLow = buffer(GL_ARRAY_BUFFER, bytes(), nullptr, GL_DYNAMIC_DRAW);
    mHigh = buffer(GL_ARRAY_BUFFER, bytes(), nullptr, GL_DYNAMIC_DRAW);
    mTops = buffer(GL_ARRAY_BUFFER, bytes(), nullptr, GL_DYNAMIC_COPY);
    auto vao = [](GLuint top, GLuint base) {
        GLuint a = 0;
        glGenVertexArrays(1, &a);
        glBindVertexArray(a);
        glBindBuffer(GL_ARRAY_BUFFER, top);
        glEnableVertexAttribArray(0);
        glVertexAttribPointer(0, 1, GL_FLOAT, GL_FALSE, 0, nullptr);
        if (base) {
            glBindBuffer(GL_ARRAY_BUFFER, base);
            glEnableVertexAttribArray(1);
            glVertexAttribPointer(1, 1, GL_FLOAT, GL_FALSE, 0, nullptr);
        }
        glBindVertexArray(0);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        return a;
    };
    mLowVAO = vao(mLow, 0);
    mHighVAO = vao(mTops, mLow);
    mStackVAO = vao(mHigh, mLow);
}

Bars::~Bars() {
    GLuint vaos[3] = {mLowVAO, mHighVAO, mStackVAO};
    glDeleteVertexArrays(3, vaos);
    GLuint buffers[3] = {mLow, mHigh, mTops};
    glDeleteBuffers(3, buffers);
    glDeleteProgram(mDraw);
    glDeleteProgram(mStack);
}

void Bars::draw(Chart& chart, const int viewport[4]) {
    // The stack's tops.
    glUseProgram(mStack);
    glBindVertexArray(mStackVAO);
    glEnable(GL_RASTERIZER_DISCARD);
    glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, mTops);
    glBeginTransformFeedback(GL_POINTS);
    glDrawArrays(GL_POINTS, 0, GLsizei(mN));
    glEndTransformFeedback();
    glBindBufferBase(GL_TRANSFORM_FEEDBACK_BUFFER, 0, 0);
    glDisable(GL_RASTERIZER_DISCARD);
    // Both series, clipped to the frame, blended as translucent colours would be.
    const internal::PixelBox box = chart.scissor(viewport);
    glScissor(box.x, box.y, box.width, box.height);
    glEnable(GL_SCISSOR_TEST);
    const internal::AxisMap x = internal::axisMap(float(mN) - 0.5f, -0.5f, false);
    const internal::AxisMap y = internal::axisMap(1.0f, 0.0f, false);
    const glm::mat4 t = internal::dataTransform(chart.layout(), x, y);
    glUseProgram(mDraw);
    glUniformMatrix4fv(mTransform, 1, GL_FALSE, &t[0][0]);
    glEnable(GL_BLEND);
    glBlendFuncSeparate(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, GL_ZERO, GL_ONE);
    glUniform4fv(mColor, 1, mLowColor);
    glUniform1i(mStacked, 0);
    glBindVertexArray(mLowVAO);
    glDrawArrays(GL_POINTS, 0, GLsizei(mN));
    glUniform4fv(mColor, 1, mHighColor);
    glUniform1i(mStacked, 1);
    glBindVertexArray(mHighVAO);
    glDrawArrays(GL_POINTS, 0, GLsizei(mN));
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_BLEND);
    glDisable(GL_SCISSOR_TEST);
    chart.draw();
}

}  // namespace baseline
