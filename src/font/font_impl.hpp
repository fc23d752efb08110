#pragma once
// The font engine: glyphs rasterised with FreeType into shared texture pages, one textured
// quad each, and the drawing of UTF-8 strings with them inside a 2-D area laid over the
// current viewport. Printable ASCII (codes 32 to 126) is rasterised when the font loads and
// takes a fast path; any other character is rasterised the first time it is drawn, from the
// font's face or, when the face lacks it, from a fallback face fontconfig finds for it.
//
// No shaping: glyphs are placed one after another by their advances, bearings and the
// face's kerning pairs, as FreeType gives them. Shaping through HarfBuzz would add a
// library and a per-string shaping pass to every label for what charts write: numbers,
// units and names in Latin, Greek and Cyrillic, which need no contextual forms. A combining
// accent still draws over its base, because such marks come with no advance and a negative
// bearing; ligatures and scripts that need reordering (Arabic, Indic conjuncts) are drawn
// letter by letter.

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "gl/gl.hpp"
#include "gl/gl_objects.hpp"
#include "gl/shared_program.hpp"
#include "gl/vertex_arrays.hpp"
#include "font/glyph_atlas.hpp"
#include "font/text_layout.hpp"

namespace internal {

struct ShareGroup;

class font_impl {
public:
    static constexpr int NUM_CHARS = 95;  // codes 32 (space) to 126 (tilde)
    // The glyph cache beyond printable ASCII: at most this many other glyphs per load (the
    // replacement character, loaded with the font, among them), and at most
    // MAX_CODE_POINTS distinct code points remembered (characters no face has share the
    // replacement glyph). When either is full, characters not seen before draw as U+FFFD
    // until the font is loaded again. Glyph k of the tables is ASCII k + 32 below NUM_CHARS.
    static constexpr int MAX_EXTRA_GLYPHS = 512;
    static constexpr int MAX_CODE_POINTS = 4 * MAX_EXTRA_GLYPHS;
    static constexpr int MAX_GLYPHS = NUM_CHARS + MAX_EXTRA_GLYPHS;
    // Largest pixel size a font is rasterised at. Every glyph gets a texture rounded up to
    // powers of two, so 95 glyphs at a few thousand pixels would take gigabytes; text
    // larger than this is drawn by scaling at render time instead.
    static constexpr int MAX_FONT_SIZE = 1024;

    // Builds the text program and the sampler; the font is unloaded. A context must be current.
    font_impl();
    ~font_impl();
    font_impl(const font_impl&) = delete;
    font_impl& operator=(const font_impl&) = delete;

    // Loads the face in `file` at `size` pixels and builds all 95 glyphs. Loading the path
    // already loaded does nothing (whatever the size); loading another path first releases
    // the glyph set loaded before. Raises zv::ArgumentError (argument 2) for a size below 1
    // or above maxSize() before touching anything, and zv::Error (ZV_ERR_FONT, "Freetype
    // library") when the face cannot be opened or sized; the font is unloaded afterwards.
    // A window of the font's share group must be current: zv::Error (ZV_ERR_GL) otherwise,
    // before anything changes. A path that is not a regular file raises ZV_ERR_FONT naming
    // it, without opening it (a FIFO would block).
    void loadFont(const char* file, int size);
    // Asks fontconfig for the best match of the pattern `name` (a family name such as "Vera")
    // and loads its file with loadFont. Raises zv::Error (ZV_ERR_FONT) when fontconfig cannot
    // start or cannot parse the pattern (the font is left as it was), and as loadFont.
    // fontconfig's configuration is read once per process, by the first call.
    void loadSystemFont(const char* name, int size);
    // Draws the NUL-terminated UTF-8 `text` with the first pen position at pos (x, y in
    // units of an area areaWidth x areaHeight laid over the whole current viewport, origin
    // bottom left, y on the baseline), in color (RGBA), at pixel size fontSize (-1: the
    // loaded size); with `vertical`, each character goes on a line of its own. Characters
    // drawn for the first time are rasterised and uploaded on the way. Without a loaded
    // font it prints a message and returns without touching OpenGL. Blends over what is
    // drawn and ignores depth: the window draws with depth testing off, and text leaves it
    // as it was. Leaves blending off, no program and no vertex array in use, and the font's
    // sampler bound to texture unit 0. The window's context must be current; its vertex
    // array for this font is made on the first call.
    void render(int windowId, int areaWidth, int areaHeight, const float* pos,
                const float* color, const char* text, int fontSize, bool vertical);

    // Text in runs, for callers that draw many strings at once (a chart's labels): begin()
    // sets the text state of render() once for an area of areaWidth x areaHeight units,
    // each drawString() draws one string as render() would, and end() leaves what render()
    // leaves. render() is begin(), one drawString() and end(). Nothing else may draw
    // between begin() and end(). Without a loaded font, begin() prints render()'s message
    // and returns false, and drawString() and end() do nothing; the window's context must
    // be current.
    bool begin(int windowId, int areaWidth, int areaHeight);
    void drawString(const float* pos, const float* color, const char* text, int fontSize,
                    bool vertical);
    // Draws text as drawString, turned a quarter turn anticlockwise about pos: it reads from
    // bottom to top, the glyphs' tops to the left. Exactly 90 degrees, so at the loaded size
    // each glyph's texels land on whole pixels as in horizontal text; newlines step to the
    // right.
    void drawStringRotated(const float* pos, const float* color, const char* text,
                           int fontSize);
    // How far the pen moves over the first line of text at fontSize (-1: the loaded size), in
    // units, kerning included: the width drawString lays out. Loads the metrics of
    // characters not seen before (no OpenGL). 0 without a loaded font.
    long long textWidth(const char* text, int fontSize);
    // The widest single character of text at fontSize, as textWidth measures it.
    long long widestCharacter(const char* text, int fontSize);
    // The glyph of code point cp: ASCII directly, any other from the cache, loading its
    // metrics (no OpenGL) on first use; U+FFFD's glyph (or the face's missing-glyph box)
    // for a character no face has or once the cache is full. The font must be loaded.
    int glyphFor(std::uint32_t cp);
    // Kerning between glyphs a and b drawn in that order, pixels at the loaded size; 0 for
    // glyphs of different faces.
    int kerning(int a, int b) const {
        if (a < NUM_CHARS && b < NUM_CHARS) return mAsciiKern[a * NUM_CHARS + b];
        return extraKerning(a, b);
    }
    // Glyphs in the tables: NUM_CHARS and the other glyphs loaded so far.
    int glyphCount() const { return mLoaded ? NUM_CHARS + mExtraCount : 0; }
    // The face glyph k comes from: 0 the font's own, above that a fallback face, in the
    // order they were found; and the file of face f.
    int glyphFace(int k) const { return mFaceOf[k]; }
    std::string faceFile(int f) const;
    void end();
    // Binds the window's vertex array over the glyph quads, making it on first use.
    void bindResources(int windowId);
    void unbindResources() const;
    // Releases all OpenGL objects of the font: the glyph set when loaded, the program and
    // the sampler.
    void destroyGLResources();

    // Read access for the text layout and the tests.
    bool loaded() const { return mLoaded; }
    const std::string& file() const { return mFile; }
    int loadedSize() const { return mLoadedSize; }
    int lineHeight() const { return mLineHeight; }
    int advance(int k) const { return mAdvance[k]; }
    int bearingX(int k) const { return mBearingX[k]; }
    int descent(int k) const { return mDescent[k]; }
    // The texture (page) holding glyph k, 0 when the font holds no glyph pixels at all.
    GLuint glyphTexture(int k) const {
        return mPages.empty() ? 0 : mPages[static_cast<size_t>(mSlots[k].page)].get();
    }
    // Where glyph k's box lies in its page, and the box (0 x 0 for a glyph drawing nothing).
    const AtlasSlot& glyphSlot(int k) const { return mSlots[k]; }
    const GlyphBox& glyphBox(int k) const { return mBoxes[k]; }
    int pageWidth() const { return mPageWidth; }
    int pageCount() const { return static_cast<int>(mPages.size()); }
    GLuint vbo() const { return mVBO.get(); }
    GLuint program() const { return mProgram ? mProgram->get() : 0; }
    GLuint sampler() const { return mSampler.get(); }
    const VertexArrayMap& vertexArrays() const { return mVAOMap; }
    // Largest size loadFont accepts in this context: MAX_FONT_SIZE, or less when the
    // context's textures cannot hold glyphs twice that size.
    int maxSize() const { return mMaxSize; }
    // The share group whose window was current when the font was made: its glyph textures
    // and program exist there only, so only windows of that group may draw with it.
    const std::shared_ptr<ShareGroup>& group() const { return mGroup; }

private:
    void checkSize(const char* label, int size) const;
    // Renders glyph k (its face and index set) with FreeType: its metrics, its box and its
    // coverage bitmap (rows bottom-up) into `bitmap`, `bitmapWidth` x `bitmapHeight`.
    void extractGlyph(int k, std::vector<unsigned char>& bitmap, int& bitmapWidth,
                      int& bitmapHeight);
    // Rasterises glyph k (beyond ASCII) into the pages and its quad into the vertex buffer.
    void uploadGlyph(int k);
    // The fallback face holding cp, opened on first use; -1 when fontconfig knows none.
    int fallbackFace(std::uint32_t cp);
    int extraKerning(int a, int b) const;
    void drawRun(const float* pos, const float* color, const char* text, int fontSize,
                 bool vertical, bool rotated);
    // Packs the glyphs into pages, uploads them and makes the glyph quads.
    void uploadGlyphs(const std::vector<std::vector<unsigned char>>& bitmaps,
                      const std::vector<int>& widths, const std::vector<int>& heights);
    // Deletes the glyph textures, the vertex buffer and the windows' vertex arrays over it;
    // the font is unloaded afterwards.
    void releaseGlyphSet();

    std::shared_ptr<ShareGroup> mGroup;
    VertexArrayMap mVAOMap;
    bool mLoaded = false;
    std::string mFile;
    std::vector<float> mVertices;
    GLBuffer mVBO;
    ProgramRef mProgram;  // the group's text program
    GLSampler mSampler;
    std::vector<GLTexture> mPages;  // the glyphs' textures (see glyph_atlas.hpp)
    int mPageWidth = 0;
    AtlasSlot mSlots[MAX_GLYPHS];
    GlyphBox mBoxes[MAX_GLYPHS];
    float mClamp[MAX_GLYPHS][4] = {};  // each glyph's sampling limits in its page
    GLuint mBoundPage = 0;  // the page bound during a run
    int mAdvance[MAX_GLYPHS] = {};
    int mDescent[MAX_GLYPHS] = {};
    int mBearingX[MAX_GLYPHS] = {};
    int mFaceOf[MAX_GLYPHS] = {};           // see glyphFace
    unsigned mFaceIndex[MAX_GLYPHS] = {};   // the glyph's index in its face
    bool mUploaded[MAX_GLYPHS] = {};        // in the pages and the vertex buffer
    short mAsciiKern[NUM_CHARS * NUM_CHARS] = {};
    // The faces, kept open while the font is loaded so glyphs can be rasterised on demand.
    struct Faces;
    std::unique_ptr<Faces> mFaces;
    std::unordered_map<std::uint32_t, int> mCodePoints;  // code point -> glyph, beyond ASCII
    int mExtraCount = 0;   // glyphs beyond ASCII
    int mReplacement = 0;  // the glyph drawn for U+FFFD
    ShelfPacker mPacker;   // the pages of glyphs beyond ASCII
    int mFirstExtraPage = 0;
    bool mBufferGrown = false;  // the vertex buffer holds room for MAX_GLYPHS quads
    int mLoadedSize = 0;
    int mLineHeight = 0;
    // The metrics scaled to the size last drawn at; emptied with the glyph set.
    ScaledGlyphs mScaled;
    int mMaxSize = MAX_FONT_SIZE;
    // Whether a run begun by begin() is open.
    bool mInRun = false;
};

}  // namespace internal
