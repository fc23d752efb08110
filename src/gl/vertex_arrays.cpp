#include "gl/vertex_arrays.hpp"

#include "gl/gl_objects.hpp"
#include "gl/context.hpp"

namespace internal {

GLuint VertexArrayMap::create() {
    GLuint vao = 0;
    glGenVertexArrays(1, &vao);
    glBindVertexArray(vao);
    return vao;
}

void VertexArrayMap::clear() {
    for (const auto& entry : mMap) {
        // A window that is gone took its vertex arrays with its context.
        ContextScope scope(entry.first);
        if (scope.ok()) glDeleteVertexArrays(1, &entry.second);
    }
    mMap.clear();
}

}  // namespace internal
