#pragma once
// The font engine: one OpenGL texture and one textured quad per printable ASCII character
// (codes 32 to 126), rasterised once per load with FreeType, and the drawing of byte strings
// with them inside a 2-D area laid over the current viewport.

#include <string>
#include <vector>

#include "common/gl.hpp"
#include "common/gl_objects.hpp"
#include "common/vertex_arrays.hpp"

namespace internal {

class font_impl {
public:
    static constexpr int NUM_CHARS = 95;  // codes 32 (space) to 126 (tilde)

    // Builds the text program and the sampler; the font is unloaded. A context must be current.
    font_impl();
    ~font_impl();
    font_impl(const font_impl&) = delete;
    font_impl& operator=(const font_impl&) = delete;

    // Loads the face in `file` at `size` pixels and builds all 95 glyphs. Loading the path
    // already loaded does nothing (whatever the size). Raises zv::ArgumentError (argument 2)
    // for a size below 1 before touching anything, and zv::Error (ZV_ERR_FONT, "Freetype
    // library") when the face cannot be opened or sized; the font is unloaded afterwards.
    void loadFont(const char* file, int size);
    // Asks fontconfig for the best match of the pattern `name` (a family name such as "Vera")
    // and loads its file with loadFont.
    void loadSystemFont(const char* name, int size);
    // Size of the 2-D area that render() maps onto the whole current viewport.
    void setOthro2D(int width, int height);
    // Draws the NUL-terminated bytes of `text` with the first pen position at pos (x, y in
    // area units, origin bottom left, y on the baseline), in color (RGBA), at pixel size
    // fontSize (-1: the loaded size); with `vertical`, each byte goes on a line of its own.
    // Without a loaded font it prints a message and returns without touching OpenGL.
    void render(int windowId, const float* pos, const float* color, const char* text,
                int fontSize, bool vertical);
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
    GLuint glyphTexture(int k) const { return mGlyphTextures[k].get(); }
    GLuint vbo() const { return mVBO.get(); }
    const VertexArrayMap& vertexArrays() const { return mVAOMap; }

private:
    void extractGlyph(int code);
    void releaseGlyphSet();

    VertexArrayMap mVAOMap;
    bool mLoaded = false;
    std::string mFile;
    std::vector<float> mVertices;
    int mAreaWidth = 0;
    int mAreaHeight = 0;
    GLBuffer mVBO;
    GLProgram mProgram;
    GLSampler mSampler;
    GLTexture mGlyphTextures[NUM_CHARS];
    int mAdvance[NUM_CHARS] = {};
    int mDescent[NUM_CHARS] = {};
    int mBearingX[NUM_CHARS] = {};
    int mLoadedSize = 0;
    int mLineHeight = 0;
    // Uniform locations, looked up once when the program is built.
    GLint mProjectionLoc = -1;
    GLint mModelViewLoc = -1;
    GLint mTexLoc = -1;
    GLint mColorLoc = -1;
};

}  // namespace internal
