#include "gl/gl_objects.hpp"

#include <atomic>
#include <utility>

#include "gl/context.hpp"
#include "gl/shaders.hpp"

namespace internal {

namespace {
std::atomic<long> gLiveGLObjects{0};

template <GLKind K>
GLuint generate() {
    GLuint name = 0;
    switch (K) {
        case GLKind::Buffer: glGenBuffers(1, &name); break;
        case GLKind::Texture: glGenTextures(1, &name); break;
        case GLKind::Program: name = glCreateProgram(); break;
        case GLKind::Sampler: glGenSamplers(1, &name); break;
    }
    return name;
}

template <GLKind K>
void destroy(GLuint name) {
    switch (K) {
        case GLKind::Buffer: glDeleteBuffers(1, &name); break;
        case GLKind::Texture: glDeleteTextures(1, &name); break;
        case GLKind::Program: glDeleteProgram(name); break;
        case GLKind::Sampler: glDeleteSamplers(1, &name); break;
    }
}
}  // namespace

long liveGLObjects() { return gLiveGLObjects.load(); }

template <GLKind K>
GLObject<K> GLObject<K>::create() {
    return adopt(generate<K>());
}

template <GLKind K>
GLObject<K> GLObject<K>::adopt(GLuint name) {
    GLObject o;
    o.mName = name;
    o.mGroup = currentGroup();
    if (name) ++gLiveGLObjects;
    return o;
}

template <GLKind K>
GLObject<K>::GLObject(GLObject&& other) noexcept
    : mName(std::exchange(other.mName, 0)), mGroup(std::move(other.mGroup)) {}

template <GLKind K>
GLObject<K>& GLObject<K>::operator=(GLObject&& other) noexcept {
    if (this != &other) {
        reset();
        mName = std::exchange(other.mName, 0);
        mGroup = std::move(other.mGroup);
    }
    return *this;
}

template <GLKind K>
void GLObject<K>::reset() {
    if (!mName) return;
    --gLiveGLObjects;
    if (mGroup) {
        ContextScope scope(mGroup);
        if (scope.ok()) destroy<K>(mName);
    }
    mName = 0;
    mGroup.reset();
}

template class GLObject<GLKind::Buffer>;
template class GLObject<GLKind::Texture>;
template class GLObject<GLKind::Program>;
template class GLObject<GLKind::Sampler>;

GLProgram makeProgram(const char* vertexSource, const char* fragmentSource) {
    return GLProgram::adopt(initShaders(vertexSource, fragmentSource));
}

GLProgram makeProgram(const char* vertexSource, const char* geometrySource,
                      const char* fragmentSource) {
    return GLProgram::adopt(initShaders(vertexSource, geometrySource, fragmentSource));
}

}  // namespace internal
