// A chart in a corner of the application's own GLFW window. The application makes its window
// and context, draws its own picture (a triangle) each frame, and has the library draw a
// chart into the top-right corner of the same framebuffer through a zv::Target; the mouse,
// forwarded in the framebuffer's pixels, pans and zooms the chart. The application swaps.
// (Takes the frame count of the other examples; the picture argument is not used: the
// library does not read the application's window back.)
#include <zarvo.h>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "example_util.hpp"

namespace {

const char* VERTEX =
    "#version 330 core\n"
    "uniform float t;\n"
    "const vec2 p[3] = vec2[3](vec2(-0.8, -0.7), vec2(0.5, -0.7), vec2(-0.15, 0.6));\n"
    "out vec3 c;\n"
    "void main() {\n"
    "    float s = sin(t), k = cos(t);\n"
    "    gl_Position = vec4(mat2(k, s, -s, k) * p[gl_VertexID] * 0.8, 0.0, 1.0);\n"
    "    c = vec3(gl_VertexID == 0, gl_VertexID == 1, gl_VertexID == 2);\n"
    "}\n";
const char* FRAGMENT =
    "#version 330 core\nin vec3 c;\nout vec4 o;\nvoid main() { o = vec4(c, 1.0); }\n";

GLuint triangleProgram() {
    GLuint v = glCreateShader(GL_VERTEX_SHADER), f = glCreateShader(GL_FRAGMENT_SHADER);
    glShaderSource(v, 1, &VERTEX, nullptr);
    glShaderSource(f, 1, &FRAGMENT, nullptr);
    glCompileShader(v);
    glCompileShader(f);
    GLuint program = glCreateProgram();
    glAttachShader(program, v);
    glAttachShader(program, f);
    glLinkProgram(program);
    glDeleteShader(v);
    glDeleteShader(f);
    return program;
}

// The cursor in the framebuffer's pixels from its bottom-left corner, as the target takes it.
void framebufferCursor(GLFWwindow* w, double& x, double& y) {
    int ww = 0, wh = 0, fw = 0, fh = 0;
    glfwGetWindowSize(w, &ww, &wh);
    glfwGetFramebufferSize(w, &fw, &fh);
    glfwGetCursorPos(w, &x, &y);
    x *= ww > 0 ? static_cast<double>(fw) / ww : 1.0;
    y = fh - y * (wh > 0 ? static_cast<double>(fh) / wh : 1.0);
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
    glfwWindowHint(GLFW_SAMPLES, 4);
    GLFWwindow* window = glfwCreateWindow(800, 600, "the application's window", nullptr, nullptr);
    if (!window) {
        std::fprintf(stderr, "the window could not be made\n");
        glfwTerminate();
        return 1;
    }
    glfwMakeContextCurrent(window);
    int status = 0;
    try {
        // Made while the application's context is current: the objects after it are the
        // target's. Its creation also loads the entry points <zarvo.h> calls OpenGL through.
        zv::Target target;
        const unsigned n = 400;
        zv::Plot plot(n, zv::ZV_FLOAT32, zv::ZV_PLOT_LINE, zv::ZV_MARKER_NONE);
        plot.setColor(1.0f, 0.7f, 0.2f);
        plot.setAxesLimits(10.0f, 0.0f, 1.2f, -1.2f);
        plot.setXAxisTitle("time");
        GLuint program = triangleProgram();
        const GLint t = glGetUniformLocation(program, "t");
        GLuint vao = 0;
        glGenVertexArrays(1, &vao);

        glfwSetWindowUserPointer(window, &target);
        glfwSetMouseButtonCallback(window, [](GLFWwindow* w, int button, int action, int) {
            double x = 0, y = 0;
            framebufferCursor(w, x, y);
            static_cast<zv::Target*>(glfwGetWindowUserPointer(w))->mouseButton(button, action, x, y);
        });
        glfwSetCursorPosCallback(window, [](GLFWwindow* w, double, double) {
            double x = 0, y = 0;
            framebufferCursor(w, x, y);
            static_cast<zv::Target*>(glfwGetWindowUserPointer(w))->cursor(x, y);
        });
        glfwSetScrollCallback(window, [](GLFWwindow* w, double, double dy) {
            double x = 0, y = 0;
            framebufferCursor(w, x, y);
            static_cast<zv::Target*>(glfwGetWindowUserPointer(w))->scroll(dy, 0, x, y);
        });

        std::vector<float> xy(2 * n);
        for (int frame = 0; frames < 0 ? !glfwWindowShouldClose(window) : frame < frames;
             ++frame) {
            const float phase = 0.05f * static_cast<float>(frame);
            for (unsigned k = 0; k < n; ++k) {
                const float x = 10.0f * static_cast<float>(k) / (n - 1);
                xy[2 * k] = x;
                xy[2 * k + 1] = std::sin(x + phase) * std::exp(-0.1f * x);
            }
            glBindBuffer(GL_ARRAY_BUFFER, plot.vbo());
            glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(xy.size() * sizeof(float)),
                            xy.data());
            glBindBuffer(GL_ARRAY_BUFFER, 0);

            int w = 0, h = 0;
            glfwGetFramebufferSize(window, &w, &h);
            // The application's own picture.
            glViewport(0, 0, w, h);
            glClearColor(0.15f, 0.15f, 0.2f, 1.0f);
            glClear(GL_COLOR_BUFFER_BIT);
            glUseProgram(program);
            glUniform1f(t, phase);
            glBindVertexArray(vao);
            glDrawArrays(GL_TRIANGLES, 0, 3);
            // The chart in the top-right corner of the default framebuffer; the application's
            // program, vertex array and viewport stay as they were.
            target.draw(plot, 0, w / 2, h / 2, w / 2, h / 2);
            glfwSwapBuffers(window);
            glfwPollEvents();
        }
        glfwSetWindowUserPointer(window, nullptr);
        glDeleteVertexArrays(1, &vao);
        glDeleteProgram(program);
    } catch (const zv::Error& e) {
        status = example::report(e);
    }
    glfwDestroyWindow(window);
    glfwTerminate();
    return status;
}
