// A chart in a panel of a Dear ImGui window, drawn as the ImGui example draws it
// (examples/common/imgui_chart_panel.hpp): a target draws into a texture that ImGui shows. The
// frames are ImGui's own, rendered by its OpenGL 3 backend into the application's window; the
// mouse is given to ImGui directly, as its GLFW backend would.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <backends/imgui_impl_opengl3.h>
#include <imgui.h>

#include "imgui_chart_panel.hpp"
#include "zarvo.h"

namespace {

constexpr int AW = 480, AH = 360;  // the application's window
constexpr float PX = 60, PY = 40, PW = 300, PH = 220;  // the ImGui window, from the top left

class ImGuiPanelGLTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(GLFW_TRUE, glfwInit());
        glfwWindowHint(GLFW_VISIBLE, 0);
        glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
        glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
        glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, 1);
        glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
        mOwn = glfwCreateWindow(AW, AH, "application", nullptr, nullptr);
        glfwDefaultWindowHints();
        ASSERT_NE(nullptr, mOwn);
        glfwMakeContextCurrent(mOwn);
        ImGui::CreateContext();
        ImGuiIO& io = ImGui::GetIO();
        io.IniFilename = nullptr;
        io.DisplaySize = ImVec2(AW, AH);
        io.DeltaTime = 1.0f / 60.0f;
        ASSERT_TRUE(ImGui_ImplOpenGL3_Init("#version 330 core"));
    }
    void TearDown() override {
        if (!mOwn) return;
        ImGui_ImplOpenGL3_Shutdown();
        ImGui::DestroyContext();
        glfwDestroyWindow(mOwn);
    }

    // One frame: the mouse as given, the chart's window at (PX, PY), the application's blue
    // behind. Returns the window's pixels, rows from the top, and the panel's rectangle.
    template <class Drawable>
    std::vector<unsigned char> frame(example::ChartPanel& panel, const Drawable& chart,
                                     ImVec2 mouse, bool down, float wheel = 0.0f) {
        ImGuiIO& io = ImGui::GetIO();
        io.MousePos = mouse;
        io.MouseDown[0] = down;
        io.MouseWheel = wheel;
        ImGui_ImplOpenGL3_NewFrame();
        ImGui::NewFrame();
        ImGui::SetNextWindowPos(ImVec2(PX, PY));
        ImGui::SetNextWindowSize(ImVec2(PW, PH));
        ImGui::Begin("chart", nullptr,
                     ImGuiWindowFlags_NoScrollWithMouse | ImGuiWindowFlags_NoTitleBar |
                         ImGuiWindowFlags_NoResize);
        panel.show(chart);
        mPanelMin = ImGui::GetItemRectMin();
        mPanelMax = ImGui::GetItemRectMax();
        ImGui::End();
        ImGui::Render();
        glViewport(0, 0, AW, AH);
        glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
        glClear(GL_COLOR_BUFFER_BIT);
        ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
        std::vector<unsigned char> rgba(static_cast<size_t>(AW) * AH * 4);
        glReadPixels(0, 0, AW, AH, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        std::vector<unsigned char> topFirst(rgba.size());
        for (int y = 0; y < AH; ++y)
            std::copy_n(&rgba[static_cast<size_t>(AH - 1 - y) * AW * 4], AW * 4,
                        &topFirst[static_cast<size_t>(y) * AW * 4]);
        return topFirst;
    }

    GLFWwindow* mOwn = nullptr;
    ImVec2 mPanelMin, mPanelMax;
};

void fillLine(zv::Plot& plot) {
    std::vector<float> xy(2 * 64);
    for (int k = 0; k < 64; ++k) {
        xy[2 * k] = static_cast<float>(k) / 63.0f;
        xy[2 * k + 1] = static_cast<float>(k) / 63.0f;
    }
    glBindBuffer(GL_ARRAY_BUFFER, plot.vbo());
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(xy.size() * sizeof(float)),
                    xy.data());
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

// The chart's picture lands in the panel pixel for pixel, as the target drew it into the
// panel's texture, and the application's window keeps its own colour round the ImGui window.
TEST_F(ImGuiPanelGLTest, ChartPixelsLandInThePanel) {
    zv::Target target;
    zv::Plot plot(64, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_NONE);
    fillLine(plot);
    example::ChartPanel panel(target);
    frame(panel, plot, ImVec2(-1, -1), false);  // ImGui places its window on the first frame
    const std::vector<unsigned char> shown = frame(panel, plot, ImVec2(-1, -1), false);

    const int x0 = static_cast<int>(mPanelMin.x), y0 = static_cast<int>(mPanelMin.y);
    const int w = static_cast<int>(mPanelMax.x) - x0, h = static_cast<int>(mPanelMax.y) - y0;
    ASSERT_GT(w, PW / 2);
    ASSERT_GT(h, PH / 2);
    ASSERT_GE(x0, PX);
    ASSERT_GE(y0, PY);
    // The texture as the target left it, rows from the bottom.
    std::vector<unsigned char> drawn(static_cast<size_t>(w) * h * 4);
    glBindTexture(GL_TEXTURE_2D, panel.texture());
    GLint tw = 0, th = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &tw);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &th);
    ASSERT_EQ(w, tw);
    ASSERT_EQ(h, th);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, drawn.data());
    glBindTexture(GL_TEXTURE_2D, 0);

    int differing = 0, lit = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const unsigned char* a = &shown[(static_cast<size_t>(y0 + y) * AW + x0 + x) * 4];
            const unsigned char* b = &drawn[(static_cast<size_t>(h - 1 - y) * w + x) * 4];
            for (int c = 0; c < 3; ++c) {
                if (std::abs(a[c] - b[c]) > 2) {
                    ++differing;
                    break;
                }
            }
            if (a[0] + a[1] + a[2] > 300) ++lit;
        }
    }
    EXPECT_EQ(0, differing) << "pixels of the panel differ from the chart drawn";
    EXPECT_GT(lit, w) << "the chart's frame and line are in the panel";
    // Round the ImGui window: the application's blue.
    for (const auto& p : {std::make_pair(5, 5), std::make_pair(AW - 5, AH - 5),
                          std::make_pair(static_cast<int>(PX) - 2, AH / 2)}) {
        const unsigned char* c = &shown[(static_cast<size_t>(p.second) * AW + p.first) * 4];
        EXPECT_EQ(0, c[0]) << p.first << "," << p.second;
        EXPECT_EQ(255, c[2]) << p.first << "," << p.second;
    }
    EXPECT_EQ(static_cast<GLenum>(GL_NO_ERROR), glGetError());
}

// A left drag begun on the panel pans the chart, whichever way the cursor then goes; a drag
// begun outside the panel, or the wheel outside, moves nothing; the wheel over it zooms.
TEST_F(ImGuiPanelGLTest, MouseOverThePanelPansAndZooms) {
    zv::Target target;
    zv::Plot plot(64, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_NONE);
    fillLine(plot);
    example::ChartPanel panel(target);
    const ImVec2 away(-1, -1);
    frame(panel, plot, away, false);
    frame(panel, plot, away, false);
    const ImVec2 centre((mPanelMin.x + mPanelMax.x) / 2, (mPanelMin.y + mPanelMax.y) / 2);

    // Outside the ImGui window: a drag and the wheel.
    const ImVec2 outside(PX / 2, PY + PH / 2);
    frame(panel, plot, outside, true);
    frame(panel, plot, ImVec2(outside.x + 40, outside.y), true);
    frame(panel, plot, ImVec2(outside.x + 40, outside.y), false);
    frame(panel, plot, outside, false, 2.0f);
    EXPECT_EQ(0.0f, plot.xmin());
    EXPECT_EQ(1.0f, plot.xmax());

    // A drag right by 40 points from the centre, released outside the panel.
    frame(panel, plot, centre, true);
    frame(panel, plot, ImVec2(centre.x + 40, centre.y), true);
    frame(panel, plot, ImVec2(PX + PW + 30, centre.y), true);
    frame(panel, plot, ImVec2(PX + PW + 30, centre.y), false);
    EXPECT_LT(plot.xmin(), -0.1f);
    EXPECT_NEAR(1.0f, plot.xmax() - plot.xmin(), 1e-4);
    EXPECT_NEAR(0.0f, plot.ymin(), 1e-4) << "the drag was horizontal";
    // The wheel over the panel zooms in.
    frame(panel, plot, centre, false, 2.0f);
    EXPECT_LT(plot.xmax() - plot.xmin(), 0.9f);
    EXPECT_EQ(static_cast<GLenum>(GL_NO_ERROR), glGetError());
}

}  // namespace
