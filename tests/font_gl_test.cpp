// The text engine on real contexts: glyph sets, drawing and the GL state text drawing leaves
// behind. (The pen's layout, with no context: font_layout_test.cpp.)

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "gl/gl_objects.hpp"
#include "font/font.hpp"
#include "font/font_impl.hpp"
#include "font/text_layout.hpp"
#include "gl/context.hpp"
#include "glfw/window.hpp"
#include "support/gl_test.hpp"
#include "zarvo/exception.h"
#include "zarvo/font.h"

// Counts the allocations made through operator new while counting is on, to show that
// drawing text allocates nothing once a window's vertex array exists.
namespace {
std::atomic<bool> gCountAllocations{false};
std::atomic<long> gAllocations{0};
}  // namespace

// Every plain form is replaced, so that whatever pairing a library uses, new and delete
// meet in malloc and free (the sanitizers check that they match).
namespace {
void* counted(std::size_t size) noexcept {
    if (gCountAllocations) ++gAllocations;
    return std::malloc(size ? size : 1);
}
void* countedOrThrow(std::size_t size) {
    if (void* p = counted(size)) return p;
    throw std::bad_alloc();
}
}  // namespace
void* operator new(std::size_t size) { return countedOrThrow(size); }
void* operator new[](std::size_t size) { return countedOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return counted(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return counted(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

using internal::font_impl;

// ---------------------------------------------------------------------------------------
// Glyph sets and drawing on a real context

const char* const SANS = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const char* const MONO = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
const std::string NO_FONT_MESSAGE = "No font was loaded!, hence skipping text rendering.\n";

const float WHITE[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float RED[4] = {1.0f, 0.0f, 0.0f, 1.0f};

int glyph(char c) { return c - 32; }

GLint bufferSize(GLuint buffer) {
    GLint size = -1;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &size);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return size;
}

void textureSize(GLuint texture, int& w, int& h) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    glBindTexture(GL_TEXTURE_2D, 0);
}

bool isPowerOfTwoOrZero(int n) { return n >= 0 && (n & (n - 1)) == 0; }

class FontGLTest : public zvtest::GLTest {
protected:
    void SetUp() override {
        GLTest::SetUp();
        font = std::make_unique<font_impl>();
    }
    void TearDown() override {
        font.reset();
        GLTest::TearDown();
    }

    // Clears the window to black and draws text over an area the size of the window.
    zvtest::Snapshot draw(const char* text, float x, float y, int fontSize = -1,
                          const float* color = WHITE, bool vertical = false) {
        glViewport(0, 0, W, H);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        const float pos[2] = {x, y};
        font->render(window->id(), W, H, pos, color, text, fontSize, vertical);
        zvtest::expectNoGLError("render");
        return grab();
    }

    // Sum of the advances of text's glyphs at the loaded size.
    int advances(const char* text) const {
        int sum = 0;
        for (const char* p = text; *p; ++p) sum += font->advance(glyph(*p));
        return sum;
    }

    // Path of a file in the temporary directory holding `bytes`, named after this process
    // so that concurrent runs do not share it.
    static std::string tempFile(const std::string& name, const std::string& bytes) {
        std::string path =
            testing::TempDir() + "zv_font_test_" + std::to_string(getpid()) + "_" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    std::unique_ptr<font_impl> font;
};

TEST_F(FontGLTest, LoadsAGlyphSetByPathAndBySystemName) {
    struct Case {
        const char* what;
        bool system;
        const char* name;
    } cases[] = {{"by path", false, SANS}, {"by family name", true, "Vera"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        font_impl f;
        if (c.system)
            f.loadSystemFont(c.name, 32);
        else
            f.loadFont(c.name, 32);
        zvtest::expectNoGLError("loading");
        ASSERT_TRUE(f.loaded());
        EXPECT_EQ(f.file(), SANS);  // fontconfig answers "Vera" with DejaVu Sans here
        EXPECT_EQ(f.loadedSize(), 32);
        EXPECT_GT(f.lineHeight(), 20);
        EXPECT_LT(f.lineHeight(), 64);
        EXPECT_GT(f.advance(glyph('M')), f.advance(glyph('i')));  // proportional
        EXPECT_GT(f.descent(glyph('g')), 0);                       // reaches below the baseline
        EXPECT_LT(f.descent(glyph('-')), 0);                       // wholly above it

        // The glyphs share a page or two of texture at this size.
        ASSERT_GE(f.pageCount(), 1);
        ASSERT_LE(f.pageCount(), 2);
        for (int k = 0; k < font_impl::NUM_CHARS; ++k)
            ASSERT_TRUE(glIsTexture(f.glyphTexture(k))) << "glyph " << k;
        ASSERT_EQ(bufferSize(f.vbo()), font_impl::NUM_CHARS * 64);

        // Glyph k's quad is vertices 4k..4k+3 and covers its whole padded box, one texel per
        // unit, lifted by the descent: (0, h - d), (0, -d), (w, h - d), (w, -d); its texture
        // coordinates are the box's corners in its page.
        std::vector<float> v(font_impl::NUM_CHARS * 16);
        glBindBuffer(GL_ARRAY_BUFFER, f.vbo());
        glGetBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(v.size() * 4), v.data());
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        for (char ch : {'A', 'g', '-', '~'}) {
            SCOPED_TRACE(std::string("glyph '") + ch + "'");
            const int k = glyph(ch);
            const internal::GlyphBox& box = f.glyphBox(k);
            EXPECT_TRUE(isPowerOfTwoOrZero(box.width) && isPowerOfTwoOrZero(box.height))
                << box.width << " x " << box.height;
            EXPECT_GT(box.width, 0);
            int pw = -1, ph = -1;
            textureSize(f.glyphTexture(k), pw, ph);
            EXPECT_EQ(pw, f.pageWidth());
            const internal::AtlasSlot& at = f.glyphSlot(k);
            EXPECT_LE(at.x + box.width + 1, pw);
            EXPECT_LE(at.y + box.height + 1, ph);
            const float w = static_cast<float>(box.width), h = static_cast<float>(box.height);
            const float d = static_cast<float>(f.descent(k));
            const float s0 = float(at.x) / float(pw), s1 = (float(at.x) + w) / float(pw);
            const float t0 = float(at.y) / float(ph), t1 = (float(at.y) + h) / float(ph);
            const std::vector<float> expected = {0, h - d, s0, t1, 0, -d, s0, t0,
                                                 w, h - d, s1, t1, w, -d, s1, t0};
            EXPECT_EQ(std::vector<float>(v.begin() + 16 * k, v.begin() + 16 * k + 16), expected);
        }
        // The space has no box and draws nothing.
        EXPECT_EQ(f.glyphBox(glyph(' ')).width, 0);
        EXPECT_EQ(f.glyphBox(glyph(' ')).height, 0);
    }
}

TEST_F(FontGLTest, HandleCopiesShareOneFont) {
    zv::Font a;
    zv::Font b(a);
    b.loadFont(SANS, 20);
    EXPECT_EQ(a.get()->impl(), b.get()->impl());
    EXPECT_TRUE(a.get()->impl()->loaded());
    EXPECT_EQ(a.get()->impl()->loadedSize(), 20);
}

TEST_F(FontGLTest, LoadingTheSamePathAgainKeepsTheFirstSize) {
    font->loadFont(SANS, 16);
    const GLuint texture = font->glyphTexture(glyph('A'));
    const GLuint vbo = font->vbo();
    const int lineHeight = font->lineHeight();
    font->loadFont(SANS, 40);
    EXPECT_EQ(font->loadedSize(), 16);
    EXPECT_EQ(font->lineHeight(), lineHeight);
    EXPECT_EQ(font->glyphTexture(glyph('A')), texture);
    EXPECT_EQ(font->vbo(), vbo);
}

TEST_F(FontGLTest, UnreadableFilesRaiseFontErrorAndLeaveTheFontUnloaded) {
    std::mt19937 random(7);
    std::string noise(4096, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    const std::string dir = testing::TempDir();
    struct Case {
        const char* what;
        std::string path;
    } cases[] = {
        {"missing file", dir + "zv_font_test_no_such_font.ttf"},
        {"empty file", tempFile("empty.ttf", "")},
        {"random bytes", tempFile("noise.ttf", noise)},
        {"empty path", ""},
    };
    const long unloaded = internal::liveGLObjects();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        font->loadFont(SANS, 24);  // an earlier glyph set goes with the failed load
        ASSERT_TRUE(font->loaded());
        try {
            font->loadFont(c.path.c_str(), 24);
            ADD_FAILURE() << "no exception";
        } catch (const zv::ArgumentError&) {
            ADD_FAILURE() << "argument error";
        } catch (const zv::Error& e) {
            EXPECT_STREQ(e.what(), "font face creation failed");
            EXPECT_STREQ(e.functionName(), "Freetype library");
            EXPECT_EQ(e.err(), zv::ZV_ERR_FONT);
        }
        EXPECT_FALSE(font->loaded());
        EXPECT_EQ(font->file(), "");
        EXPECT_EQ(internal::liveGLObjects(), unloaded);  // textures and buffer released
    }
    zvtest::expectNoGLError("failed loads");
}

// FreeType would block on a FIFO until a writer comes (forever, in a test) and read a device
// as a font; neither is opened. The message names the path.
TEST_F(FontGLTest, PathsThatAreNotRegularFilesAreRefusedByName) {
    const std::string fifo =
        testing::TempDir() + "zv_font_test_" + std::to_string(getpid()) + "_fifo.ttf";
    ::unlink(fifo.c_str());
    ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
    const std::string paths[] = {fifo, testing::TempDir(), "/dev/null"};
    const long unloaded = internal::liveGLObjects();
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        font->loadFont(SANS, 24);
        try {
            font->loadFont(path.c_str(), 24);
            ADD_FAILURE() << "no exception";
        } catch (const zv::ArgumentError&) {
            ADD_FAILURE() << "argument error";
        } catch (const zv::Error& e) {
            EXPECT_EQ(zv::ZV_ERR_FONT, e.err());
            EXPECT_STREQ("Freetype library", e.functionName());
            const std::string what = e.what();
            EXPECT_EQ(0u, what.find("font face creation failed")) << what;
            EXPECT_NE(what.find("'" + path + "' is not a regular file"), std::string::npos)
                << what;
        }
        EXPECT_FALSE(font->loaded());
        EXPECT_EQ(internal::liveGLObjects(), unloaded);
    }
    ::unlink(fifo.c_str());
    zvtest::expectNoGLError("refused paths");
}

// Glyph textures exist in the share group current during the load; a font is drawn only by
// windows of the group it was made in. A load anywhere else is refused before anything
// changes, and says which window to make current.
TEST_F(FontGLTest, LoadsOnlyWithAWindowOfItsOwnGroupCurrent) {
    font->loadFont(SANS, 24);
    struct Case {
        const char* what;
        std::function<void()> enter;
        const char* mentions;
    };
    auto other = std::make_shared<internal::window_impl>(64, 48, "other group",
                                                         std::weak_ptr<internal::window_impl>(),
                                                         true);
    const long before = internal::liveGLObjects();
    const Case cases[] = {
        {"another group's window current", [&] { internal::MakeContextCurrent(other.get()); },
         "another share group"},
        {"no context current", [] { wtk::Widget::makeNoneCurrent(); }, "makeCurrent()"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.enter();
        for (bool system : {false, true}) {
            try {
                if (system) {
                    font->loadSystemFont("DejaVu Sans Mono", 20);
                } else {
                    font->loadFont(MONO, 20);
                }
                ADD_FAILURE() << "no exception";
            } catch (const zv::Error& e) {
                EXPECT_EQ(zv::ZV_ERR_GL, e.err()) << e.what();
                EXPECT_NE(std::string(e.what()).find(c.mentions), std::string::npos) << e.what();
            }
        }
        // The glyph set loaded before stays, and nothing was made anywhere.
        EXPECT_TRUE(font->loaded());
        EXPECT_EQ(SANS, font->file());
        EXPECT_EQ(before, internal::liveGLObjects());
    }
    internal::MakeContextCurrent(other.get());
    zvtest::expectNoGLError("refused loads, other group");
    internal::MakeContextCurrent(window.get());
    zvtest::expectNoGLError("refused loads, the font's group");
    font->loadFont(MONO, 20);
    EXPECT_TRUE(font->loaded());
    EXPECT_NE(0u, font->glyphTexture('A' - 32));
}

TEST_F(FontGLTest, SizesOutOfRangeRaiseArgumentErrorAndChangeNothing) {
    ASSERT_GE(font->maxSize(), 256);  // every 3.3 context has textures of 1024 or more
    font->loadFont(SANS, 24);
    const GLuint texture = font->glyphTexture(glyph('A'));
    const int sizes[] = {0, -1, font->maxSize() + 1, 10000};
    for (int size : sizes) {
        for (bool system : {false, true}) {
            SCOPED_TRACE("size " + std::to_string(size) + (system ? " by name" : " by path"));
            try {
                // Another file, so nothing but the size can stop the load.
                if (system)
                    font->loadSystemFont("DejaVu Sans Mono", size);
                else
                    font->loadFont(MONO, size);
                ADD_FAILURE() << "no exception";
            } catch (const zv::ArgumentError& e) {
                EXPECT_EQ(e.argIndex(), 2);
                EXPECT_EQ(e.err(), zv::ZV_ERR_ARGUMENT);
                EXPECT_NE(std::string(e.expectedCondition()).find("pixel"), std::string::npos);
            }
            EXPECT_TRUE(font->loaded());
            EXPECT_EQ(font->file(), SANS);
            EXPECT_EQ(font->loadedSize(), 24);
            EXPECT_EQ(font->glyphTexture(glyph('A')), texture);
        }
    }
    // Even the loaded path is refused with a size below 1.
    EXPECT_THROW(font->loadFont(SANS, 0), zv::ArgumentError);
}

TEST_F(FontGLTest, TheLargestSizeLoads) {
    font->loadFont(SANS, font->maxSize());
    zvtest::expectNoGLError("loading at the largest size");
    ASSERT_TRUE(font->loaded());
    EXPECT_GT(font->lineHeight(), font->maxSize() / 2);
}

TEST_F(FontGLTest, FontconfigPatterns) {
    font->loadFont(SANS, 16);
    // A value that does not parse as the property's type: no pattern, font unchanged.
    try {
        font->loadSystemFont("Vera:weight=xyz", 16);
        ADD_FAILURE() << "no exception";
    } catch (const zv::Error& e) {
        EXPECT_STREQ(e.what(), "fontconfig pattern creation failed");
        EXPECT_STREQ(e.functionName(), "Freetype library");
        EXPECT_EQ(e.err(), zv::ZV_ERR_FONT);
    }
    EXPECT_TRUE(font->loaded());
    EXPECT_EQ(font->file(), SANS);

    // A family that is not installed loads whatever fontconfig ranks best.
    font->loadSystemFont("No Such Family Zzq", 16);
    EXPECT_TRUE(font->loaded());
    EXPECT_FALSE(font->file().empty());
}

TEST_F(FontGLTest, HelloLightsPixelsFromThePenOnly) {
    font->loadFont(SANS, 32);
    const int x = 100, y = 300;
    zvtest::Snapshot s = draw("Hello", x, y);
    const std::vector<int> b = s.bounds(zvtest::notBlack);
    // Anti-aliased edges: allow 2 pixels around the metric extents.
    EXPECT_NEAR(b[0], x + font->bearingX(glyph('H')), 2) << "left edge";
    EXPECT_NEAR(b[1], y, 2) << "baseline";  // round letters overshoot it by a pixel
    // The ascender of 'l' is about three quarters of the size above the baseline.
    EXPECT_GE(b[3], y + 20) << "top";
    EXPECT_LE(b[3], y + 28) << "top";
    EXPECT_GT(b[2], x + advances("Hell")) << "right edge";
    EXPECT_LE(b[2], x + advances("Hello") + 2) << "right edge";
    // The stems are several pixels wide, so full coverage shows as plain white.
    EXPECT_GT(s.count(0, 0, W, H, zvtest::isWhite), 100);
}

TEST_F(FontGLTest, GlyphsStandUprightInTheirColourAtTheDrawnSize) {
    font->loadFont(SANS, 32);
    // 'T': the bar is at the top, the stem below it; a flipped texture swaps them.
    {
        zvtest::Snapshot s = draw("T", 200, 200, -1, RED);
        const std::vector<int> b = s.bounds(zvtest::notBlack);
        ASSERT_GE(b[0], 0);
        const int top = s.count(0, b[3] - 2, W, b[3] + 1, zvtest::notBlack);
        const int bottom = s.count(0, b[1], W, b[1] + 3, zvtest::notBlack);
        EXPECT_GT(top, 3 * bottom) << "top rows " << top << ", bottom rows " << bottom;
        // Red text on black: anti-aliasing darkens it but never adds green or blue.
        EXPECT_GT(s.count(0, 0, W, H, zvtest::isRed), 50);
        EXPECT_EQ(s.count(0, 0, W, H, [](const zvtest::RGBA& c) { return c.g > 8 || c.b > 8; }),
                  0);
    }
    // Twice the loaded size: twice the extent, from the same baseline.
    const std::vector<int> unit = draw("H", 200, 200).bounds(zvtest::notBlack);
    const std::vector<int> twice = draw("H", 200, 200, 64).bounds(zvtest::notBlack);
    const double h1 = unit[3] - unit[1] + 1, h2 = twice[3] - twice[1] + 1;
    const double w1 = unit[2] - unit[0] + 1, w2 = twice[2] - twice[0] + 1;
    EXPECT_NEAR(h2 / h1, 2.0, 0.15);
    EXPECT_NEAR(w2 / w1, 2.0, 0.25);
    EXPECT_NEAR(twice[1], 200, 2);
    EXPECT_NEAR(twice[0], 200 + 2 * font->bearingX(glyph('H')), 2);
}

TEST_F(FontGLTest, RenderLeavesTextStateBehind) {
    font->loadFont(SANS, 32);
    for (const char* text : {"", "Hi"}) {
        SCOPED_TRACE(std::string("text \"") + text + "\"");
        glDisable(GL_DEPTH_TEST);
        glDepthFunc(GL_GREATER);
        glEnable(GL_BLEND);
        glBlendFunc(GL_ONE, GL_ONE);
        glActiveTexture(GL_TEXTURE3);
        zvtest::Snapshot s = draw(text, 100, 100);
        EXPECT_EQ(s.count(0, 0, W, H, zvtest::notBlack) == 0, *text == '\0');

        GLint v = -1;
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        // Depth is not text's business: left as found.
        EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
        glGetIntegerv(GL_DEPTH_FUNC, &v);
        EXPECT_EQ(v, GL_GREATER);
        glGetIntegerv(GL_BLEND_SRC_RGB, &v);
        EXPECT_EQ(v, GL_SRC_ALPHA);
        glGetIntegerv(GL_BLEND_DST_RGB, &v);
        EXPECT_EQ(v, GL_ONE_MINUS_SRC_ALPHA);
        glGetIntegerv(GL_CURRENT_PROGRAM, &v);
        EXPECT_EQ(v, 0);
        glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &v);
        EXPECT_EQ(v, 0);
        glGetIntegerv(GL_ACTIVE_TEXTURE, &v);
        EXPECT_EQ(v, GL_TEXTURE0);
        // Unit 0 is left as every draw finds it: no sampler, no glyph page.
        glGetIntegerv(GL_SAMPLER_BINDING, &v);
        EXPECT_EQ(v, 0);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &v);
        EXPECT_EQ(v, 0);
        // The window's vertex array exists even when nothing was drawn.
        EXPECT_TRUE(font->vertexArrays().contains(window->id()));
        EXPECT_EQ(font->vertexArrays().size(), 1u);
    }
}

TEST_F(FontGLTest, RenderWithoutAFontOnlyPrints) {
    glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_GREATER);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glActiveTexture(GL_TEXTURE3);
    testing::internal::CaptureStderr();
    zvtest::Snapshot s = draw("Hello", 100, 100);
    draw("again", 100, 100);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), NO_FONT_MESSAGE + NO_FONT_MESSAGE);

    EXPECT_EQ(s.count(0, 0, W, H, zvtest::notBlack), 0);
    GLint v = -1;
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    glGetIntegerv(GL_DEPTH_FUNC, &v);
    EXPECT_EQ(v, GL_GREATER);
    glGetIntegerv(GL_BLEND_SRC_RGB, &v);
    EXPECT_EQ(v, GL_ONE);
    glGetIntegerv(GL_ACTIVE_TEXTURE, &v);
    EXPECT_EQ(v, GL_TEXTURE3);
    glGetIntegerv(GL_SAMPLER_BINDING, &v);
    EXPECT_EQ(v, 0);
    EXPECT_EQ(font->vertexArrays().size(), 0u);
    glActiveTexture(GL_TEXTURE0);
}

TEST_F(FontGLTest, ReloadingAnotherFileDrawsFromTheNewGlyphSet) {
    font->loadFont(SANS, 32);
    draw("iiii", 100, 100);
    ASSERT_EQ(font->vertexArrays().size(), 1u);
    const long loadedObjects = internal::liveGLObjects();

    font->loadFont(MONO, 32);
    zvtest::expectNoGLError("reload");
    ASSERT_TRUE(font->loaded());
    EXPECT_EQ(font->file(), MONO);
    EXPECT_EQ(internal::liveGLObjects(), loadedObjects);  // the old set was released
    EXPECT_EQ(bufferSize(font->vbo()), font_impl::NUM_CHARS * 64);

    // The monospaced 'i' has wide serifs: its quad is much wider than the proportional
    // one, so a vertex array still reading the old quads would squeeze the last 'i'.
    const int k = glyph('i');
    const std::vector<int> b = draw("iiii", 100, 100).bounds(zvtest::notBlack);
    const int lastLeft = 100 + 3 * font->advance(k) + font->bearingX(k);
    EXPECT_NEAR(b[0], 100 + font->bearingX(k), 2);
    EXPECT_GE(b[2], lastLeft + font->advance(k) / 2) << "right edge of the last 'i'";
    EXPECT_LE(b[2], 100 + 4 * font->advance(k) + 2);

    font->bindResources(window->id());
    GLint bound = 0;
    glGetVertexAttribiv(0, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), font->vbo());
    glGetVertexAttribiv(1, GL_VERTEX_ATTRIB_ARRAY_BUFFER_BINDING, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), font->vbo());
    font->unbindResources();
}

TEST_F(FontGLTest, EachWindowGetsItsOwnVertexArray) {
    font->loadFont(SANS, 32);
    auto second = std::make_shared<internal::window_impl>(
        W, H, "second", std::weak_ptr<internal::window_impl>(window), true);
    ASSERT_NE(second->id(), window->id());
    // `second` is current now; the font's buffer and textures are shared with it.
    for (const internal::window_impl* w : {second.get(), window.get(), second.get()}) {
        SCOPED_TRACE("window " + std::to_string(w->id()));
        internal::MakeContextCurrent(w);
        glViewport(0, 0, W, H);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        const float pos[2] = {100, 100};
        font->render(w->id(), W, H, pos, WHITE, "Hello", -1, false);
        zvtest::expectNoGLError("render");
        const std::vector<int> b = zvtest::readBack(0, 0, W, H).bounds(zvtest::notBlack);
        EXPECT_NEAR(b[0], 100 + font->bearingX(glyph('H')), 2);
        EXPECT_NEAR(b[1], 100, 2);
    }
    EXPECT_EQ(font->vertexArrays().size(), 2u);
    EXPECT_TRUE(font->vertexArrays().contains(window->id()));
    EXPECT_TRUE(font->vertexArrays().contains(second->id()));
    second.reset();
    internal::MakeContextCurrent(window.get());
}

TEST_F(FontGLTest, DrawingAllocatesNothingOnceTheWindowHasItsVertexArray) {
    font->loadFont(SANS, 32);
    // The first draws make the vertex array (and let the driver build its shader variants).
    draw("Hello, world\nagain", 100, 100, 24);
    draw("Hello, world\nagain", 100, 100, 24);
    const float pos[2] = {100, 100};
    gAllocations = 0;
    gCountAllocations = true;
    font->render(window->id(), W, H, pos, WHITE, "Hello, world\nagain", 24, false);
    font->render(window->id(), W, H, pos, WHITE, "stacked", -1, true);
    gCountAllocations = false;
    EXPECT_EQ(gAllocations.load(), 0);
    zvtest::expectNoGLError("render");
}

TEST_F(FontGLTest, OwnsItsGLObjectsUntilDestroyed) {
    const long before = internal::liveGLObjects();
    {
        font_impl f;
        // Its sampler: the text program is the group's, shared with the window's font.
        EXPECT_EQ(internal::liveGLObjects(), before + 1);
        // Then its glyph pages and vertex buffer.
        f.loadFont(SANS, 16);
        EXPECT_EQ(f.pageCount(), 1);
        EXPECT_EQ(internal::liveGLObjects(), before + 1 + 1 + 1);
        f.loadFont(MONO, 16);
        EXPECT_EQ(internal::liveGLObjects(), before + 1 + 1 + 1);
    }
    EXPECT_EQ(internal::liveGLObjects(), before);
}

}  // namespace
