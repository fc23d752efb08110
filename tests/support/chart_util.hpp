#pragma once
// Helpers for the chart, plot and histogram tests: filling a caller buffer, measuring drawn
// shapes from their anti-aliased coverage, counting tick marks, and checking the GL state
// a chart draw must leave behind.

#include <cstddef>
#include <vector>

#include "gl/gl.hpp"
#include "support/gl_test.hpp"

namespace zvtest {

// Writes bytes into the GL_ARRAY_BUFFER `vbo` (the buffer a plot or histogram hands out).
void fillBuffer(GLuint vbo, const void* data, size_t bytes);

// Channels a coverage is measured in: red, green, blue, and red above green, which counts
// a pure red shape but neither black nor the white of the chart frame.
enum Channel { RED = 0, GREEN = 1, BLUE = 2, RED_NOT_WHITE = 3 };

// Sum of one channel over [x0, x1) x [y0, y1), in units of a fully lit pixel: the area the
// shape covers there, multisampled edges included.
double coverage(const Snapshot& s, int x0, int y0, int x1, int y1, int channel);

// Coverage-weighted centre of one channel over [x0, x1) x [y0, y1), in window pixels
// (pixel k spans k to k + 1). weight is the coverage; 0 when nothing is lit.
struct Centre {
    double x, y, weight;
};
Centre centreOf(const Snapshot& s, int x0, int y0, int x1, int y1, int channel);

// Number of separate runs of pixels for which pred holds along a column or a row.
int runsInColumn(const Snapshot& s, int x, int y0, int y1, bool (*pred)(const RGBA&));
int runsInRow(const Snapshot& s, int y, int x0, int x1, bool (*pred)(const RGBA&));

// Fails the test unless the state a chart draw must restore is in place: scissor test off,
// program 0, vertex array 0, point size 1, program point size off, no GL error.
void expectChartStateRestored(const char* where);

// Size in bytes and usage hint of an array buffer, read back from OpenGL.
struct BufferInfo {
    GLint bytes = -1;
    GLint usage = 0;
};
inline BufferInfo arrayBufferInfo(GLuint buffer) {
    BufferInfo info;
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_SIZE, &info.bytes);
    glGetBufferParameteriv(GL_ARRAY_BUFFER, GL_BUFFER_USAGE, &info.usage);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return info;
}

}  // namespace zvtest
