#pragma once
// Vertex arrays are not shared between contexts, so every drawable keeps one per window:
// buffers, textures and programs are made once and used in every window of the share
// group, while the vertex array for a window is made on the first draw there and reused.

#include <cstddef>
#include <map>

#include "gl/gl.hpp"
#include "gl/gl_objects.hpp"

namespace internal {

// Objects kept per window: a value of T for each window an object was drawn in, made on the
// first draw there. T holds owners of names that are not shared between contexts (see
// gl_objects.hpp), which go with their own window's context.
template <class T>
class PerWindow {
public:
    // This window's value; `make` makes it, with the window's context current, the first
    // time.
    template <class Make>
    T& get(int windowId, Make&& make) {
        auto it = mMap.find(windowId);
        if (it == mMap.end()) it = mMap.emplace(windowId, make()).first;
        return it->second;
    }
    T* find(int windowId) {
        auto it = mMap.find(windowId);
        return it == mMap.end() ? nullptr : &it->second;
    }
    // Releases every window's value (each owner in its own window's context).
    void clear() { mMap.clear(); }
    size_t size() const { return mMap.size(); }
    bool contains(int windowId) const { return mMap.count(windowId) != 0; }

private:
    std::map<int, T> mMap;
};

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
        const GLVertexArray& vao = mMap.get(windowId, [&] {
            GLVertexArray made = create();
            setup();
            glBindVertexArray(0);
            glBindBuffer(GL_ARRAY_BUFFER, 0);
            return made;
        });
        glBindVertexArray(vao.get());
    }
    static void unbind() { glBindVertexArray(0); }

    // Deletes all vertex arrays (each in its own window's context, restoring the current
    // one); they are made again by the next draw in each window.
    void clear() { mMap.clear(); }
    size_t size() const { return mMap.size(); }
    bool contains(int windowId) const { return mMap.contains(windowId); }

private:
    static GLVertexArray create();  // generates and binds a new vertex array
    PerWindow<GLVertexArray> mMap;
};

}  // namespace internal
