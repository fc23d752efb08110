// A GPU-only producer: an OpenGL compute shader writes a scatter plot's points and a
// histogram's bins straight into the library's buffers, bound as shader storage buffers. The
// data is made, counted and drawn on the GPU; the CPU never touches it.
//
// Compute shaders need OpenGL 4.3. The library asks for a 3.3 core context, and most drivers
// (Mesa among them) hand out the newest compatible core version, so the example checks what it
// got. On an older context it says so and falls back to mapping the buffers and filling them
// on the CPU. A third argument "map" forces that path:  gpu_compute [frames] [picture] [map]
#include <zarvo.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "example_util.hpp"

namespace {

const unsigned COUNT = 2048;  // points
const unsigned BINS = 40;     // histogram bins over radii 0 to 2
const unsigned GROUP = 128;   // compute work-group size

// Every invocation makes one point of a wobbling noisy ring and counts its radius into a bin.
const char* const COMPUTE_SRC = R"(#version 430
layout(local_size_x = 128) in;
layout(std430, binding = 0) writeonly buffer Points { vec2 points[]; };
layout(std430, binding = 1) buffer Bins { uint bins[]; };
uniform float time;
uniform uint count;
uniform uint nbins;

uint hash(uint x) {
    x ^= x >> 16; x *= 0x7feb352du; x ^= x >> 15; x *= 0x846ca68bu; x ^= x >> 16;
    return x;
}
float rand01(uint seed) { return float(hash(seed) >> 8) / 16777216.0; }

void main() {
    uint i = gl_GlobalInvocationID.x;
    if (i >= count) return;
    float angle = 6.2831853 * (float(i) + 0.5) / float(count);
    float u1 = max(rand01(2u * i), 1e-7), u2 = rand01(2u * i + 1u);
    float noise = sqrt(-2.0 * log(u1)) * cos(6.2831853 * u2);
    float r = 1.0 + 0.25 * sin(3.0 * angle + time) + 0.08 * noise;
    float a = angle + 0.2 * time;
    points[i] = vec2(r * cos(a), r * sin(a));
    uint b = uint(clamp(r * 0.5 * float(nbins), 0.0, float(nbins - 1u)));
    atomicAdd(bins[b], 1u);
}
)";

// The same computation on the CPU, for contexts without compute shaders.
uint32_t hash(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    x ^= x >> 16;
    return x;
}
float rand01(uint32_t seed) { return static_cast<float>(hash(seed) >> 8) / 16777216.0f; }

void computeOnCpu(float* points, unsigned* bins, float time) {
    std::memset(bins, 0, BINS * sizeof(unsigned));
    for (unsigned i = 0; i < COUNT; ++i) {
        float angle = 6.2831853f * (i + 0.5f) / COUNT;
        float u1 = std::fmax(rand01(2u * i), 1e-7f), u2 = rand01(2u * i + 1u);
        float noise = std::sqrt(-2.0f * std::log(u1)) * std::cos(6.2831853f * u2);
        float r = 1.0f + 0.25f * std::sin(3.0f * angle + time) + 0.08f * noise;
        float a = angle + 0.2f * time;
        points[2 * i] = r * std::cos(a);
        points[2 * i + 1] = r * std::sin(a);
        float b = std::fmin(std::fmax(r * 0.5f * BINS, 0.0f), BINS - 1.0f);
        ++bins[static_cast<unsigned>(b)];
    }
}

// Builds the compute program; 0 (with the log printed) when the driver refuses it.
GLuint buildComputeProgram() {
    GLuint shader = glCreateShader(GL_COMPUTE_SHADER);
    glShaderSource(shader, 1, &COMPUTE_SRC, nullptr);
    glCompileShader(shader);
    GLint ok = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[2048];
        glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "compute shader does not compile:\n%s\n", log);
        glDeleteShader(shader);
        return 0;
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, shader);
    glLinkProgram(program);
    glDeleteShader(shader);
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[2048];
        glGetProgramInfoLog(program, sizeof log, nullptr, log);
        std::fprintf(stderr, "compute program does not link:\n%s\n", log);
        glDeleteProgram(program);
        return 0;
    }
    return program;
}

}  // namespace

int main(int argc, char** argv) {
    example::Run run(argc, argv);
    const bool forceMap = argc > 3 && std::strcmp(argv[3], "map") == 0;
    try {
        zv::Window window(1000, 500, "libzarvo: GPU compute");

        zv::Plot ring(COUNT, zv::ZV_FLOAT32, zv::ZV_PLOT_SCATTER, zv::ZV_MARKER_POINT);
        ring.setColor(0.55f, 0.45f, 1.0f);
        ring.setAxesLimits(1.6f, -1.6f, 1.6f, -1.6f);
        zv::Histogram radii(BINS, zv::ZV_UINT32);
        radii.setBarColor(1.0f, 0.45f, 0.3f);
        radii.setAxesLimits(2.0f, 0.0f, COUNT / 6.0f, 0.0f);
        radii.setXAxisTitle("radius");

        // The window's context is current since its creation; ask it what it is.
        window.makeCurrent();
        GLint major = 0, minor = 0;
        glGetIntegerv(GL_MAJOR_VERSION, &major);
        glGetIntegerv(GL_MINOR_VERSION, &minor);
        const bool hasCompute = (major > 4 || (major == 4 && minor >= 3)) && glDispatchCompute;
        GLuint program = 0;
        if (hasCompute && !forceMap) program = buildComputeProgram();
        GLint timeLoc = -1;
        if (program) {
            timeLoc = glGetUniformLocation(program, "time");
            glUseProgram(program);
            glUniform1ui(glGetUniformLocation(program, "count"), COUNT);
            glUniform1ui(glGetUniformLocation(program, "nbins"), BINS);
            glUseProgram(0);
            std::printf("OpenGL %d.%d: a compute shader fills the buffers\n", major, minor);
        } else if (forceMap) {
            std::printf("mapping the buffers, as asked\n");
        } else {
            std::printf(
                "OpenGL %d.%d has no compute shaders (4.3 needed): "
                "mapping the buffers and filling them on the CPU instead\n",
                major, minor);
        }

        window.grid(1, 2);
        for (int frame = 0; run.running(window, frame); ++frame) {
            const float time = frame / 30.0f;
            window.makeCurrent();
            if (program) {
                // Zero the bins, then one invocation per point writes the point and counts it.
                glBindBuffer(GL_SHADER_STORAGE_BUFFER, radii.vbo());
                glClearBufferData(GL_SHADER_STORAGE_BUFFER, GL_R32UI, GL_RED_INTEGER,
                                  GL_UNSIGNED_INT, nullptr);
                glBindBuffer(GL_SHADER_STORAGE_BUFFER, 0);
                glBindBufferBase(GL_SHADER_STORAGE_BUFFER, 0, ring.vbo());
                glBindBufferBase(GL_SHADER_STORAGE_BUFFER, 1, radii.vbo());
                glUseProgram(program);
                glUniform1f(timeLoc, time);
                glDispatchCompute((COUNT + GROUP - 1) / GROUP, 1, 1);
                glUseProgram(0);
                glBindBufferBase(GL_SHADER_STORAGE_BUFFER, 0, 0);
                glBindBufferBase(GL_SHADER_STORAGE_BUFFER, 1, 0);
                // The shader's writes must be visible to the vertex fetches of the draws.
                glMemoryBarrier(GL_VERTEX_ATTRIB_ARRAY_BARRIER_BIT);
            } else {
                glBindBuffer(GL_ARRAY_BUFFER, ring.vbo());
                auto* points = static_cast<float*>(
                    glMapBufferRange(GL_ARRAY_BUFFER, 0, ring.size(),
                                     GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT));
                glBindBuffer(GL_COPY_WRITE_BUFFER, radii.vbo());
                auto* bins = static_cast<unsigned*>(
                    glMapBufferRange(GL_COPY_WRITE_BUFFER, 0, radii.size(),
                                     GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT));
                if (points && bins) computeOnCpu(points, bins, time);
                if (points) glUnmapBuffer(GL_ARRAY_BUFFER);
                if (bins) glUnmapBuffer(GL_COPY_WRITE_BUFFER);
                glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
                glBindBuffer(GL_ARRAY_BUFFER, 0);
            }

            window.draw(0, 0, ring);
            window.draw(1, 0, radii);
            window.draw();
            run.capture(window, frame);
        }
        if (program) {
            window.makeCurrent();
            glDeleteProgram(program);
        }
    } catch (const zv::Error& e) {
        return example::report(e);
    }
    return 0;
}
