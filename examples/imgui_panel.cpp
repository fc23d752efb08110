// A chart inside a Dear ImGui window. The application owns the GLFW window, its context and
// the ImGui frame; the library draws a chart of two series through a zv::Target into a texture
// that a panel of an ImGui window shows (examples/common/imgui_chart_panel.hpp), with the
// mouse over the panel panning and zooming it, and a second ImGui window of controls beside.
// (Takes the frame count of the other examples; the picture argument is not used: the library
// does not read the application's window back.)
//
// Built when Dear ImGui is found (ZV_WITH_IMGUI; Debian: libimgui-dev, whose static library
// carries the GLFW and OpenGL 3 backends).
#include <zarvo.h>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <backends/imgui_impl_glfw.h>
#include <backends/imgui_impl_opengl3.h>
#include <imgui.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "example_util.hpp"
#include "imgui_chart_panel.hpp"

namespace {

// Writes the two waves into the plots' buffers.
void fill(zv::Plot& a, zv::Plot& b, unsigned n, float phase, float frequency) {
    std::vector<float> xy(2 * n);
    for (int series = 0; series < 2; ++series) {
        for (unsigned k = 0; k < n; ++k) {
            const float x = 10.0f * static_cast<float>(k) / static_cast<float>(n - 1);
            const float s = std::sin(frequency * x + phase + 1.5f * static_cast<float>(series));
            xy[2 * k] = x;
            xy[2 * k + 1] = s * std::exp(-0.1f * x);
        }
        glBindBuffer(GL_ARRAY_BUFFER, (series == 0 ? a : b).vbo());
        glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(xy.size() * sizeof(float)),
                        xy.data());
    }
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : -1;
    if (!glfwInit()) {
        std::fprintf(stderr, "GLFW could not start\n");
        return 1;
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 3);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, 1);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    GLFWwindow* window = glfwCreateWindow(1000, 640, "a chart in an ImGui panel", nullptr, nullptr);
    if (!window) {
        std::fprintf(stderr, "the window could not be made\n");
        glfwTerminate();
        return 1;
    }
    glfwMakeContextCurrent(window);
    glfwSwapInterval(1);
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGui::GetIO().IniFilename = nullptr;  // no imgui.ini left in the working directory
    ImGui::StyleColorsDark();
    ImGui_ImplGlfw_InitForOpenGL(window, true);
    ImGui_ImplOpenGL3_Init("#version 330 core");
    int status = 0;
    try {
        // Made while the application's context is current: the objects after it are the
        // target's, and go before it.
        zv::Target target;
        const unsigned n = 500;
        zv::Plot first(n, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_NONE);
        zv::Plot second(n, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_NONE);
        first.setColor(1.0f, 0.7f, 0.2f);
        second.setColor(0.3f, 0.7f, 1.0f);
        zv::Chart chart;
        chart.add(first, "first");
        chart.add(second, "second");
        chart.setAxesLimits(10.0f, 0.0f, 1.2f, -1.2f);
        chart.setXAxisTitle("time");
        example::ChartPanel panel(target);
        float frequency = 1.0f;
        bool running = true;
        float phase = 0.0f;

        for (int frame = 0; frames < 0 ? !glfwWindowShouldClose(window) : frame < frames;
             ++frame) {
            glfwPollEvents();
            if (running) phase += 0.03f;
            fill(first, second, n, phase, frequency);

            ImGui_ImplOpenGL3_NewFrame();
            ImGui_ImplGlfw_NewFrame();
            ImGui::NewFrame();
            ImGui::SetNextWindowPos(ImVec2(20, 20), ImGuiCond_FirstUseEver);
            ImGui::SetNextWindowSize(ImVec2(640, 420), ImGuiCond_FirstUseEver);
            ImGui::Begin("Signals", nullptr, ImGuiWindowFlags_NoScrollWithMouse);
            panel.show(chart);
            ImGui::End();
            ImGui::SetNextWindowPos(ImVec2(680, 20), ImGuiCond_FirstUseEver);
            ImGui::Begin("Controls");
            ImGui::SliderFloat("frequency", &frequency, 0.2f, 5.0f);
            ImGui::Checkbox("running", &running);
            ImGui::TextUnformatted("drag: pan, wheel: zoom,\nright drag: box zoom,\n"
                                   "double click: fit");
            ImGui::End();
            ImGui::Render();

            int w = 0, h = 0;
            glfwGetFramebufferSize(window, &w, &h);
            glViewport(0, 0, w, h);
            glClearColor(0.1f, 0.1f, 0.12f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
            ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
            glfwSwapBuffers(window);
        }
    } catch (const zv::Error& e) {
        status = example::report(e);
    }
    ImGui_ImplOpenGL3_Shutdown();
    ImGui_ImplGlfw_Shutdown();
    ImGui::DestroyContext();
    glfwDestroyWindow(window);
    glfwTerminate();
    return status;
}
