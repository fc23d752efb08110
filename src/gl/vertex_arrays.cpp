#include "gl/vertex_arrays.hpp"

namespace internal {

GLVertexArray VertexArrayMap::create() {
    GLVertexArray vao = GLVertexArray::create();
    glBindVertexArray(vao.get());
    return vao;
}

}  // namespace internal
