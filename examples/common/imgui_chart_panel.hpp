#pragma once
// A chart of the library's shown in a panel of a Dear ImGui window, for the ImGui example and
// its test. Not part of the library.
//
// The chart is drawn by a zv::Target into a texture of the panel's size, which ImGui draws as
// an image with the rest of its windows. A texture, rather than a draw straight into the
// panel's rectangle of the window's framebuffer: ImGui renders all its windows at the end of
// the frame, so a chart drawn into the framebuffer before would be painted over by the window's
// background, and one drawn after would cover any ImGui window above it. As an image the
// chart takes its place in ImGui's order of windows, popups and tooltips like any other item.
//
// The mouse over the panel is forwarded to the target (left drag pans, the wheel zooms about
// the cursor, right drag zooms to a box, a double click fits; Shift x only, Ctrl y only), in
// the texture's pixels from its bottom-left corner, as the target takes them.

#include <zarvo.h>

#include <imgui.h>

#include <algorithm>

namespace example {

class ChartPanel {
public:
    // The target's context must be current for every call, the destructor's included.
    explicit ChartPanel(zv::Target& target) : mTarget(target) {}
    ~ChartPanel() {
        glDeleteFramebuffers(1, &mFramebuffer);
        glDeleteTextures(1, &mTexture);
    }
    ChartPanel(const ChartPanel&) = delete;
    ChartPanel& operator=(const ChartPanel&) = delete;

    // Between ImGui::Begin and ImGui::End: fills the space left in the window with the chart
    // (a series or a zv::Chart), draws it, and forwards the mouse. The window should be made
    // with ImGuiWindowFlags_NoScrollWithMouse, so that the wheel zooms instead of scrolling.
    template <class Drawable>
    void show(const Drawable& chart) {
        const ImGuiIO& io = ImGui::GetIO();
        const ImVec2 size = ImGui::GetContentRegionAvail();
        const ImVec2 origin = ImGui::GetCursorScreenPos();
        const float scaleX = io.DisplayFramebufferScale.x, scaleY = io.DisplayFramebufferScale.y;
        const int w = std::max(16, static_cast<int>(size.x * scaleX));
        const int h = std::max(16, static_cast<int>(size.y * scaleY));
        // The button takes the mouse, so that a drag on the chart does not move the window.
        ImGui::InvisibleButton("chart", ImVec2(w / scaleX, h / scaleY),
                               ImGuiButtonFlags_MouseButtonLeft |
                                   ImGuiButtonFlags_MouseButtonRight);
        forwardMouse(io, origin, h, scaleX, scaleY, ImGui::IsItemHovered());
        resize(w, h);
        mTarget.draw(chart, mFramebuffer, 0, 0, w, h);
        // The texture's first row is the chart's bottom: ImGui's v runs downwards.
        ImGui::GetWindowDrawList()->AddImage(
            reinterpret_cast<ImTextureID>(static_cast<intptr_t>(mTexture)), origin,
            ImVec2(origin.x + w / scaleX, origin.y + h / scaleY), ImVec2(0, 1), ImVec2(1, 0));
    }

    unsigned texture() const { return mTexture; }

private:
    void resize(int w, int h) {
        if (w == mWidth && h == mHeight) return;
        if (!mTexture) {
            glGenTextures(1, &mTexture);
            glGenFramebuffers(1, &mFramebuffer);
        }
        GLint texture = 0, framebuffer = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &texture);
        glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &framebuffer);
        glBindTexture(GL_TEXTURE_2D, mTexture);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        // The chart is opaque, but its text and lines leave coverage below 1 in the alpha
        // channel, through which ImGui's blending would show the window's background.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, mFramebuffer);
        glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D,
                               mTexture, 0);
        glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(framebuffer));
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(texture));
        mWidth = w;
        mHeight = h;
    }

    // Presses and the wheel count over the panel only; a drag begun there follows the cursor
    // until its release, wherever that is.
    void forwardMouse(const ImGuiIO& io, const ImVec2& origin, int h, float scaleX,
                      float scaleY, bool hovered) {
        const double x = (io.MousePos.x - origin.x) * scaleX;
        const double y = h - (io.MousePos.y - origin.y) * scaleY;
        const int mods = (io.KeyShift ? zv::ZV_MOD_SHIFT : 0) |
                         (io.KeyCtrl ? zv::ZV_MOD_CONTROL : 0);
        if (mDragging && (io.MouseDelta.x != 0.0f || io.MouseDelta.y != 0.0f))
            mTarget.cursor(x, y);
        const int buttons[2] = {zv::ZV_MOUSE_LEFT, zv::ZV_MOUSE_RIGHT};
        for (int b = 0; b < 2; ++b) {
            if (hovered && ImGui::IsMouseClicked(b)) {
                mTarget.mouseButton(buttons[b], zv::ZV_PRESS, x, y, mods);
                mDragging |= 1 << b;
            }
            if ((mDragging & (1 << b)) && ImGui::IsMouseReleased(b)) {
                mTarget.mouseButton(buttons[b], zv::ZV_RELEASE, x, y, mods);
                mDragging &= ~(1 << b);
            }
        }
        if (hovered && io.MouseWheel != 0.0f) mTarget.scroll(io.MouseWheel, mods, x, y);
    }

    zv::Target& mTarget;
    GLuint mTexture = 0, mFramebuffer = 0;
    int mWidth = 0, mHeight = 0;
    int mDragging = 0;  // bit b: button b was pressed over the panel and not yet released
};

}  // namespace example
