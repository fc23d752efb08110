// The application's OpenGL state around the library: one row per state an application that
// does OpenGL of its own may leave set. Each row is set before every kind of draw and before
// the creation of every kind of object (in a new share group, so the group's first chart
// loads its font under that state too); afterwards the state must read back exactly as it
// was, and the picture must be the one drawn from the default state.

#include <gtest/gtest.h>

#include <cmath>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include "support/gl_test.hpp"
#include "support/robust_util.hpp"
#include "window/window.hpp"
#include "zarvo.h"

namespace {

using zvtest::readBack;
using zvtest::Snapshot;

constexpr int W = 320;
constexpr int H = 240;

// OpenGL objects of the application's own, made in the context current at construction.
struct AppObjects {
    GLuint fbo = 0, renderbuffer = 0, program = 0, vao = 0, elements = 0, buffer = 0,
           unpack = 0, texture = 0, sampler = 0, bufferTexture = 0, arrayTexture = 0;

    AppObjects() {
        glGenRenderbuffers(1, &renderbuffer);
        glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, 16, 16);
        glBindRenderbuffer(GL_RENDERBUFFER, 0);
        glGenFramebuffers(1, &fbo);
        glBindFramebuffer(GL_FRAMEBUFFER, fbo);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                  renderbuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, 0);

        const char* vs = "#version 330\nvoid main() { gl_Position = vec4(0.0); }\n";
        const char* fs = "#version 330\nout vec4 c;\nvoid main() { c = vec4(1.0); }\n";
        GLuint v = glCreateShader(GL_VERTEX_SHADER), f = glCreateShader(GL_FRAGMENT_SHADER);
        glShaderSource(v, 1, &vs, nullptr);
        glShaderSource(f, 1, &fs, nullptr);
        glCompileShader(v);
        glCompileShader(f);
        program = glCreateProgram();
        glAttachShader(program, v);
        glAttachShader(program, f);
        glLinkProgram(program);
        glDeleteShader(v);
        glDeleteShader(f);

        // A vertex array with an element buffer recorded in it: nothing may rebind that.
        glGenVertexArrays(1, &vao);
        glGenBuffers(1, &elements);
        glBindVertexArray(vao);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, elements);
        glBindVertexArray(0);

        glGenBuffers(1, &buffer);
        glBindBuffer(GL_ARRAY_BUFFER, buffer);
        glBufferData(GL_ARRAY_BUFFER, 1024, nullptr, GL_STATIC_DRAW);
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        // Bytes an upload must never read: all 0xFF.
        const std::vector<unsigned char> junk(1 << 20, 0xFF);
        glGenBuffers(1, &unpack);
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, unpack);
        glBufferData(GL_PIXEL_UNPACK_BUFFER, static_cast<GLsizeiptr>(junk.size()), junk.data(),
                     GL_STATIC_DRAW);
        glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);

        // Targets the dense lines and histograms bind on unit 0.
        glGenTextures(1, &bufferTexture);
        glBindTexture(GL_TEXTURE_BUFFER, bufferTexture);
        glTexBuffer(GL_TEXTURE_BUFFER, GL_R32F, buffer);
        glBindTexture(GL_TEXTURE_BUFFER, 0);
        glGenTextures(1, &arrayTexture);
        glBindTexture(GL_TEXTURE_2D_ARRAY, arrayTexture);
        glTexImage3D(GL_TEXTURE_2D_ARRAY, 0, GL_RGBA8, 1, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                     nullptr);
        glBindTexture(GL_TEXTURE_2D_ARRAY, 0);

        glGenTextures(1, &texture);
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glBindTexture(GL_TEXTURE_2D, 0);
        glGenSamplers(1, &sampler);
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, GL_REPEAT);
    }
    ~AppObjects() {
        glDeleteFramebuffers(1, &fbo);
        glDeleteRenderbuffers(1, &renderbuffer);
        glDeleteProgram(program);
        glDeleteVertexArrays(1, &vao);
        for (GLuint b : {elements, buffer, unpack}) glDeleteBuffers(1, &b);
        for (GLuint t : {texture, bufferTexture, arrayTexture}) glDeleteTextures(1, &t);
        glDeleteSamplers(1, &sampler);
    }
    AppObjects(const AppObjects&) = delete;
    AppObjects& operator=(const AppObjects&) = delete;
};

// Every state of the rows below back at OpenGL's (and the window's) defaults.
void resetState() {
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glBindRenderbuffer(GL_RENDERBUFFER, 0);
    glBindBuffer(GL_PIXEL_PACK_BUFFER, 0);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    glPixelStorei(GL_PACK_SKIP_ROWS, 0);
    glPixelStorei(GL_PACK_SKIP_PIXELS, 0);
    glUseProgram(0);
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glBindBuffer(GL_PIXEL_UNPACK_BUFFER, 0);
    glBindBufferBase(GL_UNIFORM_BUFFER, 0, 0);
    glBindBuffer(GL_UNIFORM_BUFFER, 0);
    for (GLuint unit : {3u, 0u}) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glBindTexture(GL_TEXTURE_2D, 0);
        glBindSampler(unit, 0);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SWAP_BYTES, GL_FALSE);
    glDisable(GL_BLEND);
    glBlendEquation(GL_FUNC_ADD);
    glBlendFunc(GL_ONE, GL_ZERO);
    glDisable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glFrontFace(GL_CCW);
    glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDisable(GL_STENCIL_TEST);
    glStencilFunc(GL_ALWAYS, 0, 0xFF);
    glDisable(GL_SCISSOR_TEST);
    glScissor(0, 0, W, H);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisable(GL_PRIMITIVE_RESTART);
    glPrimitiveRestartIndex(0);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDisable(GL_RASTERIZER_DISCARD);
    glDisable(GL_COLOR_LOGIC_OP);
    glLogicOp(GL_COPY);
    glDisable(GL_FRAMEBUFFER_SRGB);
    glPointParameteri(GL_POINT_SPRITE_COORD_ORIGIN, GL_UPPER_LEFT);
    glDisable(GL_PROGRAM_POINT_SIZE);
    glPointSize(1.0f);
    glDisable(GL_SAMPLE_ALPHA_TO_COVERAGE);
    glEnable(GL_MULTISAMPLE);
}

// What a draw or creation must leave as it found it, by name. The viewport and the clear
// colour are left out: the window sets them on purpose.
std::vector<std::pair<std::string, long long>> readState() {
    std::vector<std::pair<std::string, long long>> s;
    auto integer = [&](const char* name, GLenum q) {
        GLint v[4] = {-1, -1, -1, -1};
        glGetIntegerv(q, v);
        s.emplace_back(name, v[0]);
    };
#define ZV_INT(q) integer(#q, q)
    ZV_INT(GL_DRAW_FRAMEBUFFER_BINDING);
    ZV_INT(GL_READ_FRAMEBUFFER_BINDING);
    ZV_INT(GL_READ_BUFFER);
    ZV_INT(GL_RENDERBUFFER_BINDING);
    ZV_INT(GL_CURRENT_PROGRAM);
    ZV_INT(GL_VERTEX_ARRAY_BINDING);
    ZV_INT(GL_ELEMENT_ARRAY_BUFFER_BINDING);
    ZV_INT(GL_ARRAY_BUFFER_BINDING);
    ZV_INT(GL_PIXEL_UNPACK_BUFFER_BINDING);
    ZV_INT(GL_PIXEL_PACK_BUFFER_BINDING);
    ZV_INT(GL_PACK_ALIGNMENT);
    ZV_INT(GL_PACK_ROW_LENGTH);
    ZV_INT(GL_PACK_SKIP_ROWS);
    ZV_INT(GL_PACK_SKIP_PIXELS);
    ZV_INT(GL_UNIFORM_BUFFER_BINDING);
    ZV_INT(GL_COPY_READ_BUFFER_BINDING);
    ZV_INT(GL_COPY_WRITE_BUFFER_BINDING);
    ZV_INT(GL_TRANSFORM_FEEDBACK_BUFFER_BINDING);
    ZV_INT(GL_ACTIVE_TEXTURE);
    ZV_INT(GL_UNPACK_ALIGNMENT);
    ZV_INT(GL_UNPACK_ROW_LENGTH);
    ZV_INT(GL_UNPACK_SKIP_ROWS);
    ZV_INT(GL_UNPACK_SKIP_PIXELS);
    ZV_INT(GL_UNPACK_SWAP_BYTES);
    ZV_INT(GL_BLEND_EQUATION_RGB);
    ZV_INT(GL_BLEND_EQUATION_ALPHA);
    ZV_INT(GL_BLEND_SRC_RGB);
    ZV_INT(GL_BLEND_DST_RGB);
    ZV_INT(GL_BLEND_SRC_ALPHA);
    ZV_INT(GL_BLEND_DST_ALPHA);
    ZV_INT(GL_CULL_FACE_MODE);
    ZV_INT(GL_FRONT_FACE);
    ZV_INT(GL_DEPTH_FUNC);
    ZV_INT(GL_STENCIL_FUNC);
    ZV_INT(GL_POLYGON_MODE);
    ZV_INT(GL_PRIMITIVE_RESTART_INDEX);
    ZV_INT(GL_LOGIC_OP_MODE);
    ZV_INT(GL_POINT_SPRITE_COORD_ORIGIN);
#undef ZV_INT
    GLint active = 0;
    glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
    for (GLuint unit : {0u, 3u}) {
        glActiveTexture(GL_TEXTURE0 + unit);
        integer(unit ? "texture on unit 3" : "texture on unit 0", GL_TEXTURE_BINDING_2D);
        integer(unit ? "sampler on unit 3" : "sampler on unit 0", GL_SAMPLER_BINDING);
        integer(unit ? "buffer texture on unit 3" : "buffer texture on unit 0",
                GL_TEXTURE_BINDING_BUFFER);
        integer(unit ? "array texture on unit 3" : "array texture on unit 0",
                GL_TEXTURE_BINDING_2D_ARRAY);
    }
    glActiveTexture(static_cast<GLenum>(active));
    GLint binding0 = -1;
    glGetIntegeri_v(GL_UNIFORM_BUFFER_BINDING, 0, &binding0);
    s.emplace_back("uniform buffer on binding point 0", binding0);
    GLint feedback0 = -1;
    GLint64 feedbackStart = -1, feedbackSize = -1;
    glGetIntegeri_v(GL_TRANSFORM_FEEDBACK_BUFFER_BINDING, 0, &feedback0);
    glGetInteger64i_v(GL_TRANSFORM_FEEDBACK_BUFFER_START, 0, &feedbackStart);
    glGetInteger64i_v(GL_TRANSFORM_FEEDBACK_BUFFER_SIZE, 0, &feedbackSize);
    s.emplace_back("transform feedback buffer on binding point 0", feedback0);
    s.emplace_back("its start", static_cast<long long>(feedbackStart));
    s.emplace_back("its size", static_cast<long long>(feedbackSize));
    const std::pair<const char*, GLenum> caps[] = {
        {"GL_BLEND", GL_BLEND},
        {"GL_CULL_FACE", GL_CULL_FACE},
        {"GL_DEPTH_TEST", GL_DEPTH_TEST},
        {"GL_STENCIL_TEST", GL_STENCIL_TEST},
        {"GL_SCISSOR_TEST", GL_SCISSOR_TEST},
        {"GL_PRIMITIVE_RESTART", GL_PRIMITIVE_RESTART},
        {"GL_RASTERIZER_DISCARD", GL_RASTERIZER_DISCARD},
        {"GL_COLOR_LOGIC_OP", GL_COLOR_LOGIC_OP},
        {"GL_FRAMEBUFFER_SRGB", GL_FRAMEBUFFER_SRGB},
        {"GL_SAMPLE_ALPHA_TO_COVERAGE", GL_SAMPLE_ALPHA_TO_COVERAGE},
        {"GL_PROGRAM_POINT_SIZE", GL_PROGRAM_POINT_SIZE},
        {"GL_MULTISAMPLE", GL_MULTISAMPLE},
    };
    for (const auto& c : caps) s.emplace_back(c.first, glIsEnabled(c.second));
    GLint box[4] = {};
    glGetIntegerv(GL_SCISSOR_BOX, box);
    for (int k = 0; k < 4; ++k) s.emplace_back("scissor box " + std::to_string(k), box[k]);
    GLboolean mask[4] = {};
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    for (int k = 0; k < 4; ++k) s.emplace_back("colour mask " + std::to_string(k), mask[k]);
    GLfloat pointSize = 0;
    glGetFloatv(GL_POINT_SIZE, &pointSize);
    s.emplace_back("point size x 1000", static_cast<long long>(pointSize * 1000));
    return s;
}

void expectSameState(const std::vector<std::pair<std::string, long long>>& before,
                     const char* what) {
    const auto after = readState();
    ASSERT_EQ(before.size(), after.size());
    for (size_t k = 0; k < before.size(); ++k)
        EXPECT_EQ(before[k].second, after[k].second) << before[k].first << " after " << what;
}

struct StateRow {
    const char* name;
    std::function<void(const AppObjects&)> set;
};
void PrintTo(const StateRow& row, std::ostream* os) { *os << row.name; }

std::vector<StateRow> rows() {
    return {
        {"FramebufferObject", [](const AppObjects& a) { glBindFramebuffer(GL_FRAMEBUFFER, a.fbo); }},
        {"ReadFramebufferOnly",
         [](const AppObjects& a) { glBindFramebuffer(GL_READ_FRAMEBUFFER, a.fbo); }},
        {"ReadBufferFront", [](const AppObjects&) { glReadBuffer(GL_FRONT); }},
        {"Renderbuffer",
         [](const AppObjects& a) { glBindRenderbuffer(GL_RENDERBUFFER, a.renderbuffer); }},
        {"Program", [](const AppObjects& a) { glUseProgram(a.program); }},
        {"VertexArrayWithElements", [](const AppObjects& a) { glBindVertexArray(a.vao); }},
        {"ArrayBuffer", [](const AppObjects& a) { glBindBuffer(GL_ARRAY_BUFFER, a.buffer); }},
        {"UnpackBuffer",
         [](const AppObjects& a) { glBindBuffer(GL_PIXEL_UNPACK_BUFFER, a.unpack); }},
        {"UniformBufferOnPointZero",
         [](const AppObjects& a) { glBindBufferRange(GL_UNIFORM_BUFFER, 0, a.buffer, 256, 256); }},
        {"CopyReadAndWriteBuffers",
         [](const AppObjects& a) {
             glBindBuffer(GL_COPY_READ_BUFFER, a.buffer);
             glBindBuffer(GL_COPY_WRITE_BUFFER, a.unpack);
         }},
        {"TransformFeedbackBufferRangeOnPointZero",
         [](const AppObjects& a) {
             glBindBufferRange(GL_TRANSFORM_FEEDBACK_BUFFER, 0, a.buffer, 256, 256);
         }},
        {"TextureOnUnitZero", [](const AppObjects& a) { glBindTexture(GL_TEXTURE_2D, a.texture); }},
        {"ActiveUnitThreeWithATexture",
         [](const AppObjects& a) {
             glActiveTexture(GL_TEXTURE3);
             glBindTexture(GL_TEXTURE_2D, a.texture);
             glBindSampler(3, a.sampler);
         }},
        {"SamplerOnUnitZero", [](const AppObjects& a) { glBindSampler(0, a.sampler); }},
        {"BufferTextureOnUnitZero",
         [](const AppObjects& a) { glBindTexture(GL_TEXTURE_BUFFER, a.bufferTexture); }},
        {"ArrayTextureOnUnitZero",
         [](const AppObjects& a) { glBindTexture(GL_TEXTURE_2D_ARRAY, a.arrayTexture); }},
        // A buffer too small for any picture: a read into it would fail.
        {"PackBuffer", [](const AppObjects& a) { glBindBuffer(GL_PIXEL_PACK_BUFFER, a.buffer); }},
        {"PackAlignment8", [](const AppObjects&) { glPixelStorei(GL_PACK_ALIGNMENT, 8); }},
        {"PackRowLength", [](const AppObjects&) { glPixelStorei(GL_PACK_ROW_LENGTH, 7); }},
        {"PackSkipRows", [](const AppObjects&) { glPixelStorei(GL_PACK_SKIP_ROWS, 3); }},
        {"PackSkipPixels", [](const AppObjects&) { glPixelStorei(GL_PACK_SKIP_PIXELS, 2); }},
        {"UnpackAlignment8", [](const AppObjects&) { glPixelStorei(GL_UNPACK_ALIGNMENT, 8); }},
        {"UnpackRowLength", [](const AppObjects&) { glPixelStorei(GL_UNPACK_ROW_LENGTH, 7); }},
        {"UnpackSkipRows", [](const AppObjects&) { glPixelStorei(GL_UNPACK_SKIP_ROWS, 3); }},
        {"UnpackSkipPixels", [](const AppObjects&) { glPixelStorei(GL_UNPACK_SKIP_PIXELS, 2); }},
        {"UnpackSwapBytes", [](const AppObjects&) { glPixelStorei(GL_UNPACK_SWAP_BYTES, 1); }},
        {"BlendingAdditive",
         [](const AppObjects&) {
             glEnable(GL_BLEND);
             glBlendFunc(GL_ONE, GL_ONE);
         }},
        {"BlendEquationMin", [](const AppObjects&) { glBlendEquation(GL_MIN); }},
        {"CullingEverything",
         [](const AppObjects&) {
             glEnable(GL_CULL_FACE);
             glCullFace(GL_FRONT_AND_BACK);
         }},
        {"ClockwiseFrontFaces",
         [](const AppObjects&) {
             glEnable(GL_CULL_FACE);
             glFrontFace(GL_CW);
         }},
        {"DepthTestNever",
         [](const AppObjects&) {
             glEnable(GL_DEPTH_TEST);
             glDepthFunc(GL_NEVER);
         }},
        {"StencilTestNever",
         [](const AppObjects&) {
             glEnable(GL_STENCIL_TEST);
             glStencilFunc(GL_NEVER, 0, 0xFF);
         }},
        {"Scissor",
         [](const AppObjects&) {
             glEnable(GL_SCISSOR_TEST);
             glScissor(10, 10, 20, 20);
         }},
        {"PolygonModeLine",
         [](const AppObjects&) { glPolygonMode(GL_FRONT_AND_BACK, GL_LINE); }},
        {"PrimitiveRestartAtZero",
         [](const AppObjects&) {
             glEnable(GL_PRIMITIVE_RESTART);
             glPrimitiveRestartIndex(0);
         }},
        {"ColourMask",
         [](const AppObjects&) { glColorMask(GL_FALSE, GL_TRUE, GL_FALSE, GL_TRUE); }},
        {"RasterizerDiscard", [](const AppObjects&) { glEnable(GL_RASTERIZER_DISCARD); }},
        {"LogicOpXor",
         [](const AppObjects&) {
             glEnable(GL_COLOR_LOGIC_OP);
             glLogicOp(GL_XOR);
         }},
        {"FramebufferSRGB", [](const AppObjects&) { glEnable(GL_FRAMEBUFFER_SRGB); }},
        {"SpriteOriginLowerLeft",
         [](const AppObjects&) {
             glPointParameteri(GL_POINT_SPRITE_COORD_ORIGIN, GL_LOWER_LEFT);
         }},
        {"ProgramPointSizeAndPointSize",
         [](const AppObjects&) {
             glEnable(GL_PROGRAM_POINT_SIZE);
             glPointSize(5.0f);
         }},
        {"AlphaToCoverage", [](const AppObjects&) { glEnable(GL_SAMPLE_ALPHA_TO_COVERAGE); }},
        {"MultisamplingOff", [](const AppObjects&) { glDisable(GL_MULTISAMPLE); }},
    };
}

// Pixels whose channels differ by more than 3 / 255.
int differing(const Snapshot& a, const Snapshot& b) {
    int n = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (!zvtest::near(a.at(x, y), b.at(x, y), 3)) ++n;
        }
    return n;
}

// The objects every draw shows, with their data written, and a caption font.
struct Scene {
    zv::Image image{4, 4, zv::ZV_GRAYSCALE, zv::ZV_UINT8};
    zv::Plot plot{4, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_TRIANGLE};
    zv::Histogram histogram{4, zv::ZV_FLOAT32};
    // More points and bins than the frame has columns: reduced per column on the GPU, the
    // plot's markers stamped from a bitmap.
    zv::Plot densePlot{5000, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_CIRCLE};
    zv::Histogram denseHistogram{5000, zv::ZV_FLOAT32};
    zv::Font font;

    // Made with the window's context current and the state as the caller left it; the data
    // is written afterwards, with the state reset.
    Scene() { font.loadFont(zvtest::dejaVuPath(), 16); }
    void fill() {
        std::vector<unsigned char> pixels(16);
        for (size_t k = 0; k < pixels.size(); ++k) pixels[k] = static_cast<unsigned char>(k * 16);
        zvtest::writeBuffer(image.pbo(), pixels);
        zvtest::writeBuffer(plot.vbo(), std::vector<float>{0.1f, 0.2f, 0.4f, 0.9f, 0.6f, 0.3f,
                                                          0.9f, 0.7f});
        plot.setAxesLimits(1, 0, 1, 0);
        plot.setXAxisTitle("x");
        plot.setYAxisTitle("y");
        zvtest::writeBuffer(histogram.vbo(), std::vector<float>{1, 3, 2, 4});
        histogram.setAxesLimits(4, 0, 4, 0);
        std::vector<float> points(10000), bins(5000);
        for (size_t k = 0; k < bins.size(); ++k) {
            points[2 * k] = static_cast<float>(k) / 5000.0f;
            points[2 * k + 1] = 0.5f + 0.4f * std::sin(0.05f * static_cast<float>(k));
            bins[k] = points[2 * k + 1];
        }
        zvtest::writeBuffer(densePlot.vbo(), points);
        zvtest::writeBuffer(denseHistogram.vbo(), bins);
    }
};

// FittedPlot: the dense plot fitted to its data (the reduction, outside a draw), then drawn.
enum class Draw { Image, Plot, Histogram, DensePlot, DenseHistogram, Cells, FittedPlot };
// Cells last: the creation test compares with its picture.
const Draw DRAWS[] = {Draw::Image,          Draw::Plot,       Draw::Histogram, Draw::DensePlot,
                      Draw::DenseHistogram, Draw::FittedPlot, Draw::Cells};
const char* drawName(Draw d) {
    switch (d) {
        case Draw::Image: return "image";
        case Draw::Plot: return "plot";
        case Draw::Histogram: return "histogram";
        case Draw::DensePlot: return "dense plot";
        case Draw::DenseHistogram: return "dense histogram";
        case Draw::FittedPlot: return "fitted dense plot";
        default: return "cells with captions";
    }
}

// Draws one picture; the cells are presented by the caller (after the read-back).
void draw(zv::Window& win, Scene& scene, Draw d) {
    switch (d) {
        case Draw::Image: win.draw(scene.image); break;
        case Draw::Plot: win.draw(scene.plot); break;
        case Draw::Histogram: win.draw(scene.histogram); break;
        case Draw::DensePlot: win.draw(scene.densePlot); break;
        case Draw::DenseHistogram: win.draw(scene.denseHistogram); break;
        case Draw::FittedPlot: {
            zv::Plot& p = scene.densePlot;
            const float limits[4] = {p.xmax(), p.xmin(), p.ymax(), p.ymin()};
            p.fitAxesToData();
            win.draw(p);
            p.setAxesLimits(limits[0], limits[1], limits[2], limits[3]);
            break;
        }
        case Draw::Cells:
            win.grid(1, 2);
            win.draw(0, 0, scene.plot, "plot");
            win.draw(1, 0, scene.image, "image");
            break;
    }
}

class StateGuardGLTest : public ::testing::TestWithParam<StateRow> {
protected:
    static void SetUpTestSuite() {
        window = new zv::Window(W, H, "state", nullptr, true);
        scene = new Scene();
        scene->fill();
        window->setFont(&scene->font);
        for (Draw d : DRAWS) {
            draw(*window, *scene, d);
            references.push_back(readBack(0, 0, W, H));
            if (d == Draw::Cells) window->draw();
        }
    }
    // Also after a set-up that failed part way (no display, say): nothing to make current.
    static void TearDownTestSuite() {
        if (window) window->makeCurrent();
        delete scene;
        delete window;
        scene = nullptr;
        window = nullptr;
        references.clear();
    }
    static zv::Window* window;
    static Scene* scene;
    static std::vector<Snapshot> references;
};
zv::Window* StateGuardGLTest::window = nullptr;
Scene* StateGuardGLTest::scene = nullptr;
std::vector<Snapshot> StateGuardGLTest::references;

TEST_P(StateGuardGLTest, DrawsLeaveItAndLookTheSame) {
    const StateRow& row = GetParam();
    window->makeCurrent();
    AppObjects app;
    for (size_t k = 0; k < sizeof(DRAWS) / sizeof(DRAWS[0]); ++k) {
        const Draw d = DRAWS[k];
        SCOPED_TRACE(drawName(d));
        resetState();
        row.set(app);
        const auto before = readState();
        draw(*window, *scene, d);
        expectSameState(before, drawName(d));
        zvtest::expectNoGLError(drawName(d));
        resetState();
        const Snapshot s = readBack(0, 0, W, H);
        const int n = differing(s, references[k]);
        EXPECT_LE(n, 4) << n << " pixels differ from the default state's picture";
        if (n > 4) s.save(std::string("state_") + row.name + "_" + drawName(d));
        if (d == Draw::Cells) window->draw();
    }
}

TEST_P(StateGuardGLTest, CreationsLeaveItAndBuildTheSameObjects) {
    const StateRow& row = GetParam();
    // A group of its own: its first chart loads the group's chart font under the state too.
    zv::Window fresh(W, H, "state creation", nullptr, true);
    {
        AppObjects app;
        resetState();
        row.set(app);
        const auto before = readState();
        Scene made;
        expectSameState(before, "creating an image, a plot, a histogram and a font");
        zvtest::expectNoGLError("creation");
        resetState();
        made.fill();
        fresh.setFont(&made.font);
        draw(fresh, made, Draw::Cells);
        const Snapshot s = readBack(0, 0, W, H);
        const int n = differing(s, references.back());
        EXPECT_LE(n, 4) << n << " pixels differ from objects made in the default state";
        if (n > 4) s.save(std::string("state_creation_") + row.name);
        fresh.draw();
    }
}

// A snapshot reads what the window shows whatever the application left set (the blit that
// resolves it obeys the scissor test and sRGB conversion, the read the pack state), and
// leaves that state as it was.
TEST_P(StateGuardGLTest, SnapshotsLeaveItAndReadTheSame) {
    const StateRow& row = GetParam();
    window->makeCurrent();
    AppObjects app;
    resetState();
    window->draw(scene->plot);
    const zv::Snapshot reference = window->snapshot();
    ASSERT_EQ(W, reference.width);
    ASSERT_EQ(H, reference.height);
    resetState();
    row.set(app);
    const auto before = readState();
    const zv::Snapshot s = window->snapshot();
    expectSameState(before, "snapshot");
    zvtest::expectNoGLError("snapshot");
    resetState();
    ASSERT_EQ(reference.rgba.size(), s.rgba.size());
    int n = 0;
    for (size_t i = 0; i < s.rgba.size(); i += 4)
        for (size_t c = 0; c < 3; ++c)
            if (std::abs(s.rgba[i + c] - reference.rgba[i + c]) > 3) {
                ++n;
                break;
            }
    EXPECT_EQ(n, 0) << n << " pixels differ from the snapshot taken in the default state";
}

// A target's draw into the application's own window leaves the state of every row as the
// application set it, and its viewport, clear colour and current context too (which a
// window's draw sets on purpose).
TEST_P(StateGuardGLTest, TargetDrawsLeaveIt) {
    const StateRow& row = GetParam();
    glfwWindowHint(GLFW_VISIBLE, 0);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, 1);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    // The application's own window needs an X server; with no display (the suite's headless
    // run) there is no application window to draw into.
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "an application window needs a display";
    GLFWwindow* own = glfwCreateWindow(W, H, "application", nullptr, nullptr);
    glfwDefaultWindowHints();
    ASSERT_NE(nullptr, own);
    glfwMakeContextCurrent(own);
    {
        zv::Target target;
        zv::Plot plot{4, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_TRIANGLE};
        zvtest::writeBuffer(plot.vbo(), std::vector<float>{0.1f, 0.2f, 0.4f, 0.9f, 0.6f, 0.3f,
                                                          0.9f, 0.7f});
        plot.setAxesLimits(1, 0, 1, 0);
        plot.setXAxisTitle("x");
        AppObjects app;
        resetState();
        row.set(app);
        glViewport(3, 4, 50, 60);
        glClearColor(0.1f, 0.2f, 0.3f, 0.4f);
        const auto before = readState();
        target.draw(plot, 0, 10, 20, 200, 150);
        expectSameState(before, "a target's draw");
        zvtest::expectNoGLError("a target's draw");
        GLint viewport[4] = {};
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ((std::vector<GLint>{3, 4, 50, 60}),
                  std::vector<GLint>(viewport, viewport + 4));
        GLfloat clear[4] = {};
        glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
        EXPECT_EQ((std::vector<GLfloat>{0.1f, 0.2f, 0.3f, 0.4f}),
                  std::vector<GLfloat>(clear, clear + 4));
        EXPECT_EQ(own, glfwGetCurrentContext());
        resetState();
    }
    glfwDestroyWindow(own);
}

INSTANTIATE_TEST_SUITE_P(Rows, StateGuardGLTest, ::testing::ValuesIn(rows()),
                         [](const ::testing::TestParamInfo<StateRow>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
