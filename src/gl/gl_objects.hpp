#pragma once
// Small owners for OpenGL names: each is created in the context current at construction,
// remembers that context's share group, and deletes its name once, in its destructor, with a
// context of that group current (switching for the moment when another one is current).
// When the whole group is gone the name went with its last context and nothing is called.

#include <cstddef>
#include <memory>

#include "gl/gl.hpp"

namespace internal {

struct ShareGroup;

enum class GLKind { Buffer, Texture, Program, Sampler };

template <GLKind K>
class GLObject {
public:
    GLObject() = default;
    // Generates one name in the current context (for a program: glCreateProgram).
    static GLObject create();
    // Takes ownership of a name made elsewhere in the current context (e.g. by initShaders).
    static GLObject adopt(GLuint name);
    ~GLObject() { reset(); }
    GLObject(GLObject&& other) noexcept;
    GLObject& operator=(GLObject&& other) noexcept;
    GLObject(const GLObject&) = delete;
    GLObject& operator=(const GLObject&) = delete;

    GLuint get() const { return mName; }
    explicit operator bool() const { return mName != 0; }
    // Deletes the name now (see the class comment); the owner is empty afterwards.
    void reset();

private:
    GLuint mName = 0;
    std::shared_ptr<ShareGroup> mGroup;
};

using GLBuffer = GLObject<GLKind::Buffer>;
using GLTexture = GLObject<GLKind::Texture>;
using GLProgram = GLObject<GLKind::Program>;
using GLSampler = GLObject<GLKind::Sampler>;

// Number of GL names currently owned through these classes, for leak tests.
long liveGLObjects();

// A program linked from two sources (see initShaders), owned.
GLProgram makeProgram(const char* vertexSource, const char* fragmentSource);
// The same with a geometry stage.
GLProgram makeProgram(const char* vertexSource, const char* geometrySource,
                      const char* fragmentSource);

}  // namespace internal
