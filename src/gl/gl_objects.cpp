#include "gl/gl_objects.hpp"

#include <atomic>
#include <set>
#include <utility>

#include "gl/context.hpp"
#include "gl/shaders.hpp"

namespace internal {

namespace {
std::atomic<long> gLiveGLObjects{0};

constexpr bool perContext(GLKind k) {
    return k == GLKind::VertexArray || k == GLKind::Framebuffer || k == GLKind::Query;
}

template <GLKind K>
GLuint generate() {
    GLuint name = 0;
    switch (K) {
        case GLKind::Buffer: glGenBuffers(1, &name); break;
        case GLKind::Texture: glGenTextures(1, &name); break;
        case GLKind::Program: name = glCreateProgram(); break;
        case GLKind::Sampler: glGenSamplers(1, &name); break;
        case GLKind::Shader: break;  // made by create(stage)
        case GLKind::Renderbuffer: glGenRenderbuffers(1, &name); break;
        case GLKind::VertexArray: glGenVertexArrays(1, &name); break;
        case GLKind::Framebuffer: glGenFramebuffers(1, &name); break;
        case GLKind::Query: glGenQueries(1, &name); break;
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
        case GLKind::Shader: glDeleteShader(name); break;
        case GLKind::Renderbuffer: glDeleteRenderbuffers(1, &name); break;
        case GLKind::VertexArray: glDeleteVertexArrays(1, &name); break;
        case GLKind::Framebuffer: glDeleteFramebuffers(1, &name); break;
        case GLKind::Query: glDeleteQueries(1, &name); break;
    }
}

// The ledger of the group a name of kind K belongs to (see ShareGroup::ledger); null for a
// group of the library's windows.
template <GLKind K>
std::set<std::pair<int, GLuint>>* ledgerOf(const std::shared_ptr<ShareGroup>& shared,
                                           int windowId) {
    if (perContext(K)) {
        const Context* c = windowById(windowId);
        return c ? c->group()->ledger.get() : nullptr;
    }
    return shared ? shared->ledger.get() : nullptr;
}
}  // namespace

long liveGLObjects() { return gLiveGLObjects.load(); }

void deleteLedgerNames(ShareGroup& group) {
    if (!group.ledger) return;
    for (const auto& entry : *group.ledger) {
        switch (static_cast<GLKind>(entry.first)) {
            case GLKind::Buffer: destroy<GLKind::Buffer>(entry.second); break;
            case GLKind::Texture: destroy<GLKind::Texture>(entry.second); break;
            case GLKind::Program: destroy<GLKind::Program>(entry.second); break;
            case GLKind::Sampler: destroy<GLKind::Sampler>(entry.second); break;
            case GLKind::Shader: destroy<GLKind::Shader>(entry.second); break;
            case GLKind::Renderbuffer: destroy<GLKind::Renderbuffer>(entry.second); break;
            case GLKind::VertexArray: destroy<GLKind::VertexArray>(entry.second); break;
            case GLKind::Framebuffer: destroy<GLKind::Framebuffer>(entry.second); break;
            case GLKind::Query: destroy<GLKind::Query>(entry.second); break;
        }
    }
    group.ledger->clear();
}

template <GLKind K>
GLObject<K> GLObject<K>::create() {
    return adopt(generate<K>());
}

template <GLKind K>
GLObject<K> GLObject<K>::create(GLenum stage) {
    return adopt(K == GLKind::Shader ? glCreateShader(stage) : generate<K>());
}

template <GLKind K>
GLObject<K> GLObject<K>::adopt(GLuint name) {
    GLObject o;
    o.mName = name;
    if (perContext(K)) {
        o.mWindowId = currentWindowId();
    } else {
        o.mGroup = currentGroup();
    }
    if (name && !perContext(K)) ++gLiveGLObjects;
    if (name) {
        if (auto* ledger = ledgerOf<K>(o.mGroup, o.mWindowId))
            ledger->emplace(static_cast<int>(K), name);
    }
    return o;
}

template <GLKind K>
GLObject<K>::GLObject(GLObject&& other) noexcept
    : mName(std::exchange(other.mName, 0)),
      mGroup(std::move(other.mGroup)),
      mWindowId(std::exchange(other.mWindowId, -1)) {}

template <GLKind K>
GLObject<K>& GLObject<K>::operator=(GLObject&& other) noexcept {
    if (this != &other) {
        reset();
        mName = std::exchange(other.mName, 0);
        mGroup = std::move(other.mGroup);
        mWindowId = std::exchange(other.mWindowId, -1);
    }
    return *this;
}

template <GLKind K>
void GLObject<K>::forget() {
    destroy<K>(mName);
    if (auto* ledger = ledgerOf<K>(mGroup, mWindowId))
        ledger->erase({static_cast<int>(K), mName});
}

template <GLKind K>
void GLObject<K>::reset() {
    if (!mName) return;
    if (!perContext(K)) --gLiveGLObjects;
    if (perContext(K)) {
        // Only the context that made it knows the name.
        ContextScope scope(mWindowId);
        if (scope.ok()) forget();
    } else if (mGroup) {
        ContextScope scope(mGroup);
        if (scope.ok()) forget();
    }
    mName = 0;
    mGroup.reset();
    mWindowId = -1;
}

template class GLObject<GLKind::Buffer>;
template class GLObject<GLKind::Texture>;
template class GLObject<GLKind::Program>;
template class GLObject<GLKind::Sampler>;
template class GLObject<GLKind::Shader>;
template class GLObject<GLKind::Renderbuffer>;
template class GLObject<GLKind::VertexArray>;
template class GLObject<GLKind::Framebuffer>;
template class GLObject<GLKind::Query>;

GLProgram makeProgram(const char* vertexSource, const char* fragmentSource) {
    return buildProgram(vertexSource, fragmentSource);
}

GLProgram makeProgram(const char* vertexSource, const char* geometrySource,
                      const char* fragmentSource) {
    return buildProgram(vertexSource, geometrySource, fragmentSource);
}

}  // namespace internal
