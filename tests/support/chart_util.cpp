#include "support/chart_util.hpp"

namespace zvtest {

void fillBuffer(GLuint vbo, const void* data, size_t bytes) {
    glBindBuffer(GL_ARRAY_BUFFER, vbo);
    glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(bytes), data);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

namespace {
int channelOf(const RGBA& c, int channel) {
    switch (channel) {
        case RED:
            return c.r;
        case GREEN:
            return c.g;
        case BLUE:
            return c.b;
        default:
            return c.r > c.g ? c.r - c.g : 0;
    }
}
}  // namespace

double coverage(const Snapshot& s, int x0, int y0, int x1, int y1, int channel) {
    double sum = 0.0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            RGBA c = s.at(x, y);
            if (c.r >= 0) sum += channelOf(c, channel) / 255.0;
        }
    return sum;
}

Centre centreOf(const Snapshot& s, int x0, int y0, int x1, int y1, int channel) {
    double sx = 0.0, sy = 0.0, w = 0.0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            RGBA c = s.at(x, y);
            if (c.r < 0) continue;
            const double v = channelOf(c, channel) / 255.0;
            sx += v * (x + 0.5);
            sy += v * (y + 0.5);
            w += v;
        }
    if (w == 0.0) return {0.0, 0.0, 0.0};
    return {sx / w, sy / w, w};
}

int runsInColumn(const Snapshot& s, int x, int y0, int y1, bool (*pred)(const RGBA&)) {
    int runs = 0;
    bool inside = false;
    for (int y = y0; y < y1; ++y) {
        const bool on = pred(s.at(x, y));
        if (on && !inside) ++runs;
        inside = on;
    }
    return runs;
}

int runsInRow(const Snapshot& s, int y, int x0, int x1, bool (*pred)(const RGBA&)) {
    int runs = 0;
    bool inside = false;
    for (int x = x0; x < x1; ++x) {
        const bool on = pred(s.at(x, y));
        if (on && !inside) ++runs;
        inside = on;
    }
    return runs;
}

void expectChartStateRestored(const char* where) {
    EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST)) << where;
    EXPECT_FALSE(glIsEnabled(GL_PROGRAM_POINT_SIZE)) << where;
    GLint program = -1, vao = -1;
    glGetIntegerv(GL_CURRENT_PROGRAM, &program);
    glGetIntegerv(GL_VERTEX_ARRAY_BINDING, &vao);
    EXPECT_EQ(0, program) << where;
    EXPECT_EQ(0, vao) << where;
    GLfloat pointSize = 0.0f;
    glGetFloatv(GL_POINT_SIZE, &pointSize);
    EXPECT_EQ(1.0f, pointSize) << where;
    expectNoGLError(where);
}

}  // namespace zvtest
