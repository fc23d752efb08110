#include "font/font_impl.hpp"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <fontconfig/fontconfig.h>
#include <sys/stat.h>

#include <algorithm>
#include <iostream>

#include "common/common.hpp"
#include "gl/uniforms.hpp"
#include "exception/raise.hpp"
#include "gl/check.hpp"
#include "gl/state_guard.hpp"
#include "font/text_layout.hpp"
#include "font/text_shaders.hpp"
#include "gl/context.hpp"

namespace internal {

namespace {

const char* const FONT_LABEL = "Freetype library";

// Coverage of bitmap pixel (row, column): 8-bit grey as it is, 1-bit strikes (fonts with
// embedded bitmaps) as full or none.
unsigned char coverage(const FT_Bitmap& bm, int row, int column) {
    const unsigned char* line = bm.buffer + static_cast<long>(row) * bm.pitch;
    if (bm.pixel_mode == FT_PIXEL_MODE_GRAY) return line[column];
    if (bm.pixel_mode == FT_PIXEL_MODE_MONO)
        return (line[column >> 3] & (0x80 >> (column & 7))) ? 255 : 0;
    return 0;
}

// The text program, made in the current window's context: without one there is nothing to
// make it in (and no entry points to call).
GLProgram buildTextProgram() {
    if (!currentWindow()) {
        ZV_FAIL(FontWithoutWindow, "Font::Font");
    }
    return makeProgram(gTextVertexShaderSrc, gTextFragmentShaderSrc);
}

// The glyph textures go to the share group of the context current during the load, and a
// window draws them only when that is the group the font was made in: a load anywhere else
// would fill another group's names (or, with no context, none at all) and report success.
void requireFontGroup(const std::shared_ptr<ShareGroup>& fontGroup, const char* label) {
    const Context* now = actuallyCurrentWindow();
    if (!now) {
        ZV_FAIL(FontLoadWithoutWindow, label);
    }
    if (now->group() != fontGroup) {
        ZV_FAIL(FontLoadInOtherGroup, label);
    }
}

// FreeType opens a path with a blocking read: a FIFO would wait for a writer forever and a
// device would be read as a font. Only regular files are handed to it; a path that does not
// exist is left to FreeType, which reports it as any unreadable file.
void requireRegularFile(const std::string& path) {
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0 || S_ISREG(info.st_mode)) return;
    ZV_FAIL(FontPathNotRegular, FONT_LABEL, path);
}

// fontconfig reads its configuration and scans the font directories when it starts, tens of
// milliseconds a time; one configuration, made by the first system-font load, serves the
// process (and stays to its end: fonts installed later are not seen).
FcConfig* processFontConfig() {
    static FcConfig* const config = FcInitLoadConfigAndFonts();
    return config;
}

}  // namespace

// The FreeType library of one loaded font and its faces: the font's own first, then the
// fallback faces, each opened once, at the loaded size, and closed with the glyph set.
struct font_impl::Faces {
    struct Face {
        std::string file;
        int index = 0;
        FT_Face face = nullptr;
    };
    FT_Library lib = nullptr;
    std::vector<Face> faces;
    Faces() = default;
    Faces(const Faces&) = delete;
    Faces& operator=(const Faces&) = delete;
    ~Faces() {
        for (Face& f : faces)
            if (f.face) FT_Done_Face(f.face);
        if (lib) FT_Done_FreeType(lib);
    }
};

font_impl::font_impl()
    : mGroup(currentGroup()),
      mProgram(groupProgram<TextUniforms>(
          "text", buildTextProgram,
          // Glyphs are always sampled from unit 0.
          [](UniformCache& u) { u.setConstant(TextUniforms::TEX, 0); })),
      mSampler(GLSampler::create()) {
    const GLuint sampler = mSampler.get();
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, GL_LINEAR);

    // A glyph can be wider or taller than the pixel size (wide letters, tall accents), so
    // leave room for twice the size in the context's largest texture.
    GLint maxTexture = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    mMaxSize = std::max(1, std::min(MAX_FONT_SIZE, static_cast<int>(maxTexture) / 2));
}

font_impl::~font_impl() { destroyGLResources(); }

void font_impl::checkSize(const char* label, int size) const {
    if (size < 1) ZV_FAIL(FontSizeTooSmall, label);
    if (size > mMaxSize) {
        ZV_FAIL(FontSizeTooLarge, label, mMaxSize);
    }
}

void font_impl::loadFont(const char* file, int size) {
    checkSize("Font::loadFont", size);
    requireFontGroup(mGroup, "Font::loadFont");
    // Glyphs are uploaded from client memory: an application's unpack buffer or row length
    // would garble them. See GLStateGuard.
    GLStateGuard guard;
    const std::string path = file ? file : "";
    if (mLoaded && path == mFile) return;
    if (mLoaded) releaseGlyphSet();
    requireRegularFile(path);

    mLoadedSize = size;
    std::vector<std::vector<unsigned char>> bitmaps(NUM_CHARS);
    std::vector<int> widths(NUM_CHARS), heights(NUM_CHARS);
    try {
        mFaces.reset(new Faces());
        FT_Init_FreeType(&mFaces->lib);
        FT_Face face = nullptr;
        const FT_Error faceError = FT_New_Face(mFaces->lib, path.c_str(), 0, &face);
        if (faceError != 0) {
            ZV_FAIL(FontFaceUnreadable, FONT_LABEL, path, faceError);
        }
        mFaces->faces.push_back(Faces::Face{path, 0, face});
        // Width 0: the same as the height.
        if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size)) != 0)
            ZV_FAIL(FontSizeNotSet, FONT_LABEL);

        mLineHeight = 0;
        for (int k = 0; k < NUM_CHARS; ++k) {
            mFaceOf[k] = 0;
            mFaceIndex[k] = FT_Get_Char_Index(face, static_cast<FT_ULong>(FIRST_GLYPH_CODE + k));
            extractGlyph(k, bitmaps[static_cast<size_t>(k)], widths[static_cast<size_t>(k)],
                         heights[static_cast<size_t>(k)]);
        }
        // Kerning pairs of the face's 'kern' table, whole pixels at the loaded size.
        for (int a = 0; a < NUM_CHARS; ++a)
            for (int b = 0; b < NUM_CHARS; ++b) {
                FT_Vector v{0, 0};
                if (FT_HAS_KERNING(face))
                    FT_Get_Kerning(face, mFaceIndex[a], mFaceIndex[b], FT_KERNING_DEFAULT, &v);
                mAsciiKern[a * NUM_CHARS + b] = static_cast<short>(
                    std::max<long>(-32768, std::min<long>(32767, static_cast<long>(v.x >> 6))));
            }
        uploadGlyphs(bitmaps, widths, heights);
    } catch (...) {
        releaseGlyphSet();
        throw;
    }

    mVBO = GLBuffer::create();
    glBindBuffer(GL_ARRAY_BUFFER, mVBO.get());
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(mVertices.size() * sizeof(float)),
                 mVertices.data(), GL_STATIC_DRAW);
    glBindBuffer(GL_ARRAY_BUFFER, 0);

    for (int k = 0; k < NUM_CHARS; ++k) mUploaded[k] = true;
    GLint maxTexture = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    // Pages of the glyphs beyond ASCII: square, as wide as the ASCII pages and room for a
    // few glyphs of the largest sizes.
    mPacker = ShelfPacker{};
    mPacker.side = std::min(static_cast<int>(maxTexture),
                            std::max(mPageWidth, 4 * next_p2(mLoadedSize)));
    mFirstExtraPage = static_cast<int>(mPages.size());
    mCodePoints.reserve(MAX_CODE_POINTS);
    mExtraCount = 0;
    mLoaded = true;
    mFile = path;
    // The replacement glyph is the first beyond ASCII, so that a full cache still has it.
    mReplacement = 0;
    mReplacement = glyphFor(REPLACEMENT_CHARACTER);
}

void font_impl::extractGlyph(int k, std::vector<unsigned char>& bitmap, int& bitmapWidth,
                             int& bitmapHeight) {
    // Glyph index 0 is the face's "missing" glyph.
    const FT_Face face = mFaces->faces[static_cast<size_t>(mFaceOf[k])].face;
    FT_Load_Glyph(face, mFaceIndex[k], FT_LOAD_DEFAULT);
    FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL);
    const FT_GlyphSlot slot = face->glyph;
    const FT_Bitmap& bm = slot->bitmap;
    // A broken face (an em of a few units, say) can blow a glyph up to thousands of pixels
    // at a small size, and 95 such glyphs to gigabytes. Printable ASCII stays well within
    // four times the size, so a glyph beyond that is kept empty: it draws nothing.
    const int limit = 4 * mLoadedSize + 8;
    const bool oversize = static_cast<long>(bm.rows) > limit || static_cast<long>(bm.width) > limit;
    bitmapHeight = oversize ? 0 : static_cast<int>(bm.rows);
    bitmapWidth = oversize ? 0 : static_cast<int>(bm.width);
    // The box of a texture of its own: powers of two (see glyph_atlas.hpp).
    mBoxes[k] = GlyphBox{next_p2(bitmapWidth), next_p2(bitmapHeight)};

    // Upside down: row 0 is the bitmap's bottom row, so the glyph's bottom edge lies on the
    // quad's bottom edge.
    bitmap.assign(static_cast<size_t>(bitmapWidth) * static_cast<size_t>(bitmapHeight), 0);
    for (int i = 0; i < bitmapHeight; ++i)
        for (int j = 0; j < bitmapWidth; ++j)
            bitmap[static_cast<size_t>(i) * bitmapWidth + j] =
                coverage(bm, bitmapHeight - 1 - i, j);

    // FreeType metrics are 26.6 fixed point; the shift floors them to whole pixels.
    const FT_Glyph_Metrics& m = slot->metrics;
    mAdvance[k] = static_cast<int>(slot->advance.x >> 6);
    mBearingX[k] = static_cast<int>(m.horiBearingX >> 6);
    mDescent[k] = static_cast<int>((m.height - m.horiBearingY) >> 6);
    // The line height is that of printable ASCII: other glyphs do not move the lines.
    if (k < NUM_CHARS) mLineHeight = std::max(mLineHeight, static_cast<int>(m.height >> 6));
}

void font_impl::uploadGlyphs(const std::vector<std::vector<unsigned char>>& bitmaps,
                             const std::vector<int>& widths, const std::vector<int>& heights) {
    GLint maxTexture = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    const AtlasLayout layout =
        packGlyphBoxes(std::vector<GlyphBox>(mBoxes, mBoxes + NUM_CHARS), maxTexture);
    mPageWidth = layout.pageWidth;
    for (int height : layout.pageHeights) {
        GLTexture page = GLTexture::create();
        glBindTexture(GL_TEXTURE_2D, page.get());
        // One byte of coverage per texel, sampled back through the red component; every
        // texel drawn is written below.
        glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, mPageWidth, height, 0, GL_RED, GL_UNSIGNED_BYTE,
                     nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        mPages.push_back(std::move(page));
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    mVertices.clear();
    mVertices.reserve(NUM_CHARS * 16);
    for (int k = 0; k < NUM_CHARS; ++k) {
        const size_t i = static_cast<size_t>(k);
        mBoxes[k] = layout.boxes[i];
        mSlots[k] = layout.slots[i];
        const GlyphBox& box = mBoxes[k];
        const AtlasSlot& slot = mSlots[k];
        if (box.width > 0) {
            const std::vector<unsigned char> texels =
                glyphTexels(box, bitmaps[i], widths[i], heights[i]);
            glBindTexture(GL_TEXTURE_2D, mPages[static_cast<size_t>(slot.page)].get());
            glTexSubImage2D(GL_TEXTURE_2D, 0, slot.x, slot.y, box.width, box.height, GL_RED,
                            GL_UNSIGNED_BYTE, texels.data());
        }
        const GlyphQuad quad = glyphQuad(layout, i, mDescent[k]);
        std::copy(quad.clamp, quad.clamp + 4, mClamp[k]);
        mVertices.insert(mVertices.end(), quad.vertices, quad.vertices + 16);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
}

void font_impl::loadSystemFont(const char* name, int size) {
    checkSize("Font::loadSystemFont", size);
    requireFontGroup(mGroup, "Font::loadSystemFont");
    FcConfig* config = processFontConfig();
    if (!config)
        ZV_FAIL(FontconfigNotStarted, FONT_LABEL);
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(name ? name : ""));
    if (!pattern) {
        ZV_FAIL(FontconfigBadPattern, FONT_LABEL);
    }
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    // Stays empty when nothing matched or the match names no file; loadFont then fails to
    // open the face.
    std::string path;
    if (match) {
        FcChar8* value = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &value) == FcResultMatch && value)
            path = reinterpret_cast<const char*>(value);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    loadFont(path.c_str(), size);
}

void font_impl::bindResources(int windowId) {
    mVAOMap.bind(windowId, [this] {
        glEnableVertexAttribArray(TEXT_POSITION_LOCATION);
        glEnableVertexAttribArray(TEXT_TEXCOORD_LOCATION);
        glBindBuffer(GL_ARRAY_BUFFER, mVBO.get());
        const GLsizei stride = 4 * sizeof(float);
        glVertexAttribPointer(TEXT_POSITION_LOCATION, 2, GL_FLOAT, GL_FALSE, stride, nullptr);
        glVertexAttribPointer(TEXT_TEXCOORD_LOCATION, 2, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<const void*>(2 * sizeof(float)));
    });
}

void font_impl::unbindResources() const { VertexArrayMap::unbind(); }

void font_impl::render(int windowId, int areaWidth, int areaHeight, const float* pos,
                       const float* color, const char* text, int fontSize, bool vertical) {
    if (!begin(windowId, areaWidth, areaHeight)) return;
    drawString(pos, color, text, fontSize, vertical);
    end();
}

bool font_impl::begin(int windowId, int areaWidth, int areaHeight) {
    if (!mLoaded) {
        std::cerr << "No font was loaded!, hence skipping text rendering." << std::endl;
        return false;
    }
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    mProgram->uniforms.use(windowId);
    // Maps [0, W] x [0, H] of the area onto the whole viewport.
    const float W = static_cast<float>(areaWidth);
    const float H = static_cast<float>(areaHeight);
    const float projection[16] = {
        2.0f / W, 0.0f,     0.0f,  0.0f,  //
        0.0f,     2.0f / H, 0.0f,  0.0f,  //
        0.0f,     0.0f,     -1.0f, 0.0f,  //
        -1.0f,    -1.0f,    0.0f,  1.0f,
    };
    mProgram->uniforms.setMatrix4(TextUniforms::PROJECTION, projection);

    bindResources(windowId);
    // "tex" reads unit 0, set once when the program was built.
    glActiveTexture(GL_TEXTURE0);
    glBindSampler(0, mSampler.get());
    mBoundPage = 0;
    mInRun = true;
    return true;
}

namespace {

// The layout's view of a loaded font at one drawn size: printable ASCII from the scaled
// tables (the fast path, as cheap as before other characters existed), every other
// character through the font's cache.
struct FontGlyphs {
    font_impl& font;
    const ScaledGlyphs& ascii;
    int S, L;  // drawn and loaded size
    bool glyph(std::uint32_t cp, PenGlyph& out) const {
        if (cp - FIRST_GLYPH_CODE <= static_cast<std::uint32_t>(LAST_GLYPH_CODE - FIRST_GLYPH_CODE)) {
            const int k = static_cast<int>(cp) - FIRST_GLYPH_CODE;
            out = PenGlyph{k, ascii.bearingX[k], ascii.afterBearing[k]};
            return true;
        }
        // Controls, DEL and the C1 controls draw nothing, as the ASCII controls always did.
        if (cp < 0xA0) return false;
        const int k = font.glyphFor(cp);
        out = PenGlyph{k, scaleMetric(font.bearingX(k), S, L),
                       scaleMetric(static_cast<long long>(font.advance(k)) - font.bearingX(k),
                                   S, L)};
        return true;
    }
    long long kern(int a, int b) const {
        const int v = font.kerning(a, b);
        return v == 0 ? 0 : scaleMetric(v, S, L);
    }
    long long lineStep() const { return ascii.lineStep; }
};

}  // namespace

void font_impl::drawString(const float* pos, const float* color, const char* text, int fontSize,
                           bool vertical) {
    drawRun(pos, color, text, fontSize, vertical, false);
}

void font_impl::drawStringRotated(const float* pos, const float* color, const char* text,
                                  int fontSize) {
    drawRun(pos, color, text, fontSize, false, true);
}

void font_impl::drawRun(const float* pos, const float* color, const char* text, int fontSize,
                        bool vertical, bool rotated) {
    if (!mInRun) return;
    // A run of strings in one colour uploads it once.
    mProgram->uniforms.setVec4(TextUniforms::TEXT_COLOR, color);
    // The quads are scaled about their own origin; the pen positions are whole units.
    const int drawnSize = fontSize == -1 ? mLoadedSize : fontSize;
    if (!mScaled.filled || mScaled.drawnSize != drawnSize) {
        scaleGlyphs(GlyphMetrics{mAdvance, mBearingX, mLineHeight, mLoadedSize}, drawnSize,
                    mScaled);
    }
    const float s = static_cast<float>(drawnSize) / static_cast<float>(mLoadedSize);
    float modelView[16] = {
        s,    0.0f, 0.0f, 0.0f,  //
        0.0f, s,    0.0f, 0.0f,  //
        0.0f, 0.0f, s,    0.0f,  //
        0.0f, 0.0f, 0.0f, 1.0f,
    };
    // A quarter turn anticlockwise: the glyph's x axis points up, its y axis to the left.
    if (rotated) {
        modelView[0] = 0.0f;
        modelView[1] = s;
        modelView[4] = -s;
        modelView[5] = 0.0f;
    }
    const long long x0 = penStart(pos[0]), y0 = penStart(pos[1]);
    const FontGlyphs glyphs{*this, mScaled, drawnSize, mLoadedSize};
    layoutRun(glyphs, text, pos[0], pos[1], vertical, [&](int k, int gx, int gy) {
        if (!mUploaded[k]) uploadGlyph(k);
        const GLuint page = glyphTexture(k);
        if (page != mBoundPage) {
            glBindTexture(GL_TEXTURE_2D, page);
            mBoundPage = page;
        }
        mProgram->uniforms.setVec4(TextUniforms::GLYPH_BOX, mClamp[k]);
        if (rotated) {
            // The horizontal layout turned about the start point: (dx, dy) -> (-dy, dx).
            modelView[12] = static_cast<float>(clampToInt(x0 - (gy - y0)));
            modelView[13] = static_cast<float>(clampToInt(y0 + (gx - x0)));
        } else {
            modelView[12] = static_cast<float>(gx);
            modelView[13] = static_cast<float>(gy);
        }
        mProgram->uniforms.uploadMatrix4(TextUniforms::MODEL_VIEW, modelView);
        glDrawArrays(GL_TRIANGLE_STRIP, 4 * k, 4);
    });
}

long long font_impl::textWidth(const char* text, int fontSize) {
    if (!mLoaded) return 0;
    const int drawnSize = fontSize == -1 ? mLoadedSize : fontSize;
    if (!mScaled.filled || mScaled.drawnSize != drawnSize) {
        scaleGlyphs(GlyphMetrics{mAdvance, mBearingX, mLineHeight, mLoadedSize}, drawnSize,
                    mScaled);
    }
    return measureText(FontGlyphs{*this, mScaled, drawnSize, mLoadedSize}, text);
}

long long font_impl::widestCharacter(const char* text, int fontSize) {
    if (!mLoaded || !text) return 0;
    const int drawnSize = fontSize == -1 ? mLoadedSize : fontSize;
    if (!mScaled.filled || mScaled.drawnSize != drawnSize) {
        scaleGlyphs(GlyphMetrics{mAdvance, mBearingX, mLineHeight, mLoadedSize}, drawnSize,
                    mScaled);
    }
    const FontGlyphs glyphs{*this, mScaled, drawnSize, mLoadedSize};
    long long widest = 0;
    for (const char* p = text; *p;) {
        std::uint32_t cp = static_cast<unsigned char>(*p);
        if (cp < 0x80)
            ++p;
        else
            cp = decodeUtf8(p);
        PenGlyph g;
        if (glyphs.glyph(cp, g))
            widest = std::max(widest, g.bearingX + static_cast<long long>(g.afterBearing));
    }
    return widest;
}

int font_impl::glyphFor(std::uint32_t cp) {
    if (cp >= FIRST_GLYPH_CODE && cp <= LAST_GLYPH_CODE)
        return static_cast<int>(cp) - FIRST_GLYPH_CODE;
    const auto found = mCodePoints.find(cp);
    if (found != mCodePoints.end()) return found->second;
    if (!mFaces || mFaces->faces.empty()) return mReplacement;
    // A full cache: characters not seen before draw as U+FFFD (see MAX_EXTRA_GLYPHS).
    if (mExtraCount >= MAX_EXTRA_GLYPHS ||
        static_cast<int>(mCodePoints.size()) >= MAX_CODE_POINTS)
        return mReplacement;
    int face = 0;
    FT_UInt index = FT_Get_Char_Index(mFaces->faces[0].face, static_cast<FT_ULong>(cp));
    if (index == 0) {
        face = fallbackFace(cp);
        if (face > 0)
            index = FT_Get_Char_Index(mFaces->faces[static_cast<size_t>(face)].face,
                                      static_cast<FT_ULong>(cp));
        if (index == 0) face = 0;
    }
    // No face has it: U+FFFD's glyph, or for U+FFFD itself the face's missing-glyph box.
    if (index == 0 && cp != REPLACEMENT_CHARACTER) {
        mCodePoints.emplace(cp, mReplacement);
        return mReplacement;
    }
    const int k = NUM_CHARS + mExtraCount++;
    mFaceOf[k] = face;
    mFaceIndex[k] = index;
    mUploaded[k] = false;
    std::vector<unsigned char> bitmap;  // the metrics now; the pixels when first drawn
    int w = 0, h = 0;
    extractGlyph(k, bitmap, w, h);
    mCodePoints.emplace(cp, k);
    return k;
}

int font_impl::fallbackFace(std::uint32_t cp) {
    FcConfig* config = processFontConfig();
    if (!config) return -1;
    FcPattern* pattern = FcPatternCreate();
    FcCharSet* wanted = FcCharSetCreate();
    if (!pattern || !wanted) {
        if (pattern) FcPatternDestroy(pattern);
        if (wanted) FcCharSetDestroy(wanted);
        return -1;
    }
    FcCharSetAddChar(wanted, cp);
    FcPatternAddCharSet(pattern, FC_CHARSET, wanted);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    std::string file;
    int index = 0;
    if (match) {
        // fontconfig always names its best font; it serves only when it has the character.
        FcCharSet* has = nullptr;
        FcChar8* value = nullptr;
        if (FcPatternGetCharSet(match, FC_CHARSET, 0, &has) == FcResultMatch && has &&
            FcCharSetHasChar(has, cp) &&
            FcPatternGetString(match, FC_FILE, 0, &value) == FcResultMatch && value) {
            file = reinterpret_cast<const char*>(value);
            FcPatternGetInteger(match, FC_INDEX, 0, &index);
        }
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    FcCharSetDestroy(wanted);
    if (file.empty()) return -1;
    // Each face is opened once per load.
    for (size_t f = 0; f < mFaces->faces.size(); ++f)
        if (mFaces->faces[f].file == file && mFaces->faces[f].index == index)
            return static_cast<int>(f);
    struct stat info {};
    if (stat(file.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    FT_Face face = nullptr;
    if (FT_New_Face(mFaces->lib, file.c_str(), index, &face) != 0) return -1;
    if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(mLoadedSize)) != 0) {
        FT_Done_Face(face);
        return -1;
    }
    mFaces->faces.push_back(Faces::Face{file, index, face});
    return static_cast<int>(mFaces->faces.size()) - 1;
}

int font_impl::extraKerning(int a, int b) const {
    if (!mFaces || mFaceOf[a] != mFaceOf[b]) return 0;
    const FT_Face face = mFaces->faces[static_cast<size_t>(mFaceOf[a])].face;
    if (!FT_HAS_KERNING(face)) return 0;
    FT_Vector v{0, 0};
    FT_Get_Kerning(face, mFaceIndex[a], mFaceIndex[b], FT_KERNING_DEFAULT, &v);
    return static_cast<int>(std::max<long>(-32768, std::min<long>(32767, v.x >> 6)));
}

std::string font_impl::faceFile(int f) const {
    if (!mFaces || f < 0 || f >= static_cast<int>(mFaces->faces.size())) return std::string();
    return mFaces->faces[static_cast<size_t>(f)].file;
}

void font_impl::uploadGlyph(int k) {
    mUploaded[k] = true;
    std::vector<unsigned char> bitmap;
    int w = 0, h = 0;
    extractGlyph(k, bitmap, w, h);
    AtlasSlot slot;
    bool newPage = false;
    if (!mPacker.place(mBoxes[k], slot, newPage)) mBoxes[k] = GlyphBox{};
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    if (newPage) {
        GLTexture page = GLTexture::create();
        glBindTexture(GL_TEXTURE_2D, page.get());
        glTexImage2D(GL_TEXTURE_2D, 0, GL_R8, mPacker.side, mPacker.side, 0, GL_RED,
                     GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        mPages.push_back(std::move(page));
    }
    const GlyphBox box = mBoxes[k];
    // The quad, computed as in a layout of one square page.
    AtlasLayout one;
    one.pageWidth = mPacker.side;
    one.pageHeights = {mPacker.side};
    one.slots = {AtlasSlot{0, slot.x, slot.y}};
    one.boxes = {box};
    const GlyphQuad quad = glyphQuad(one, 0, mDescent[k]);
    std::copy(quad.clamp, quad.clamp + 4, mClamp[k]);
    if (box.width > 0) {
        mSlots[k] = AtlasSlot{mFirstExtraPage + slot.page, slot.x, slot.y};
        const std::vector<unsigned char> texels = glyphTexels(box, bitmap, w, h);
        glBindTexture(GL_TEXTURE_2D, mPages[static_cast<size_t>(mSlots[k].page)].get());
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexSubImage2D(GL_TEXTURE_2D, 0, slot.x, slot.y, box.width, box.height, GL_RED,
                        GL_UNSIGNED_BYTE, texels.data());
        glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    } else {
        mSlots[k] = AtlasSlot{};
    }
    // The run's page binding is whatever is bound now.
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    mBoundPage = static_cast<GLuint>(bound);
    // The vertex buffer grows once to room for every glyph the cache can hold.
    glBindBuffer(GL_ARRAY_BUFFER, mVBO.get());
    if (!mBufferGrown) {
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(MAX_GLYPHS * 16 * sizeof(float)),
                     nullptr, GL_STATIC_DRAW);
        glBufferSubData(GL_ARRAY_BUFFER, 0,
                        static_cast<GLsizeiptr>(mVertices.size() * sizeof(float)),
                        mVertices.data());
        mBufferGrown = true;
    }
    glBufferSubData(GL_ARRAY_BUFFER, static_cast<GLintptr>(k) * 16 * sizeof(float),
                    static_cast<GLsizeiptr>(16 * sizeof(float)), quad.vertices);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void font_impl::end() {
    if (!mInRun) return;
    mInRun = false;
    unbindResources();
    // Leaves unit 0 as every draw finds it (see GLStateGuard): no sampler, no glyph page.
    glBindSampler(0, 0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glUseProgram(0);
    glDisable(GL_BLEND);
}

void font_impl::releaseGlyphSet() {
    mPages.clear();
    for (int k = 0; k < MAX_GLYPHS; ++k) {
        mSlots[k] = AtlasSlot{};
        mBoxes[k] = GlyphBox{};
        mUploaded[k] = false;
    }
    mFaces.reset();
    mCodePoints.clear();
    mExtraCount = 0;
    mReplacement = 0;
    mBufferGrown = false;
    mPacker = ShelfPacker{};
    mVBO.reset();
    mVertices.clear();
    // Every window's vertex array reads the buffer just deleted; dropping them lets the next
    // render in each window build one over the new buffer.
    mVAOMap.clear();
    mLineHeight = 0;
    mScaled.filled = false;
    mLoaded = false;
    mFile.clear();
}

void font_impl::destroyGLResources() {
    releaseGlyphSet();
    mProgram.reset();
    mSampler.reset();
}

}  // namespace internal
