#pragma once
// Vertex arrays are not shared between contexts, so every drawable keeps one per window:
// buffers, textures and programs are made once and used in every window of the share
// group, while the vertex array for a window is made on the first draw there and reused.

#include <cstddef>
#include <map>

#include "gl/gl.hpp"

namespace internal {

class VertexArrayMap {
public:
    VertexArrayMap() = default;
    // Deletes every vertex array whose window is still alive, in that window's context.
    ~VertexArrayMap() { clear(); }
    VertexArrayMap(const VertexArrayMap&) = delete;
    VertexArrayMap& operator=(const VertexArrayMap&) = delete;

    // Binds the vertex array of this window, creating it first when there is none: the new
    // array is bound while `setup` enables and points the attributes, then stored. The
    // array-buffer binding point, which is not part of a vertex array and which `setup`
    // uses, is left empty. The window's context must be current.
    template <class Setup>
    void bind(int windowId, Setup&& setup) {
        auto it = mMap.find(windowId);
        if (it == mMap.end()) {
            GLuint vao = create();
            setup();
            glBindVertexArray(0);
            glBindBuffer(GL_ARRAY_BUFFER, 0);
            it = mMap.emplace(windowId, vao).first;
        }
        glBindVertexArray(it->second);
    }
    static void unbind() { glBindVertexArray(0); }

    // Deletes all vertex arrays (each in its own window's context, restoring the current
    // one); they are made again by the next draw in each window.
    void clear();
    size_t size() const { return mMap.size(); }
    bool contains(int windowId) const { return mMap.count(windowId) != 0; }

private:
    static GLuint create();  // generates and binds a new vertex array
    std::map<int, GLuint> mMap;
};

}  // namespace internal
