// Text drawn in runs (begin, drawString..., end) is the text of separate renders: the same
// pixels, the same state left behind, one colour upload per colour.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "font/font_impl.hpp"
#include "support/gl_test.hpp"

namespace {

using internal::font_impl;
using zvtest::Snapshot;

const float WHITE[4] = {1.0f, 1.0f, 1.0f, 1.0f};
const float GREEN[4] = {0.0f, 1.0f, 0.0f, 1.0f};

struct Text {
    float x, y;
    const float* color;
    const char* text;
    int size;
    bool vertical;
};
const Text TEXTS[] = {
    {20, 500, WHITE, "0.50", 15, false},
    {20, 400, GREEN, "-0.22", 15, false},
    {400, 550, WHITE, "Y Axis", 15, true},
    {200, 100, GREEN, "X Axis", 32, false},
    // Characters beyond ASCII, rasterised by the first pass, between ASCII ones.
    {20, 250, WHITE, "Temperature (\xC2\xB0" "C) \xCE\xA9 \xE2\x80\xB0 K\xC2\xB2", 15, false},
    {500, 300, GREEN, "\xC2\xB5s \xE2\x82\xAC", 24, true},
};

class TextRunTest : public zvtest::GLTest {
protected:
    void SetUp() override {
        zvtest::GLTest::SetUp();
        font = std::make_shared<font_impl>();
        font->loadSystemFont("Vera", 32);
    }
    Snapshot clearAndRead(const std::function<void()>& draw) {
        glViewport(0, 0, W, H);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        draw();
        return zvtest::readBack(0, 0, W, H);
    }
    std::shared_ptr<font_impl> font;
};

TEST_F(TextRunTest, ARunDrawsWhatSeparateRendersDraw) {
    const Snapshot separate = clearAndRead([&] {
        for (const Text& t : TEXTS) {
            const float pos[2] = {t.x, t.y};
            font->render(window->id(), W, H, pos, t.color, t.text, t.size, t.vertical);
        }
    });
    const Snapshot run = clearAndRead([&] {
        ASSERT_TRUE(font->begin(window->id(), W, H));
        for (const Text& t : TEXTS) {
            const float pos[2] = {t.x, t.y};
            font->drawString(pos, t.color, t.text, t.size, t.vertical);
        }
        font->end();
    });
    const int lit = separate.count(0, 0, W, H, zvtest::notBlack);
    EXPECT_GT(lit, 500);
    EXPECT_GT(separate.count(0, 0, W, H, [](const zvtest::RGBA& c) { return c.g > 200 && c.r < 40; }), 100)
        << "the green strings keep their colour";
    EXPECT_EQ(run.rgba, separate.rgba);
    zvtest::expectNoGLError("text run");
}

TEST_F(TextRunTest, EndLeavesWhatRenderLeaves) {
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glDepthFunc(GL_GREATER);
    ASSERT_TRUE(font->begin(window->id(), W, H));
    const float pos[2] = {10, 10};
    font->drawString(pos, WHITE, "ab", 15, false);
    font->end();
    GLint program = -1, vao = -1, depthFunc = 0, sampler = 0;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vao);
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    glGetIntegerv(GL_SAMPLER_BINDING, &sampler);
    EXPECT_EQ(program, 0);
    EXPECT_EQ(vao, 0);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_EQ(depthFunc, GL_GREATER);
    EXPECT_EQ(sampler, 0);  // unit 0 as every draw finds it
}

TEST_F(TextRunTest, WithoutAFontARunTouchesNothing) {
    font_impl unloaded;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(unloaded.begin(window->id(), W, H));
    const float pos[2] = {10, 10};
    unloaded.drawString(pos, WHITE, "ab", 15, false);
    unloaded.end();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("No font was loaded!"), std::string::npos);
    GLint program = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    EXPECT_EQ(program, 0);
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
}

}  // namespace
