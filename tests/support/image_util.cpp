#include "support/image_util.hpp"

#include <cmath>

namespace zvtest {

void fillPixels(GLuint pbo, const void* data, size_t bytes) {
    glBindBuffer(GL_COPY_WRITE_BUFFER, pbo);
    glBufferSubData(GL_COPY_WRITE_BUFFER, 0, static_cast<GLsizeiptr>(bytes), data);
    glBindBuffer(GL_COPY_WRITE_BUFFER, 0);
}

int to8(float f) { return static_cast<int>(std::lround(f * 255.0f)); }

RGBA rowColor(const float (*table)[4], int row) {
    return {to8(table[row][0]), to8(table[row][1]), to8(table[row][2]), 255};
}

}  // namespace zvtest
