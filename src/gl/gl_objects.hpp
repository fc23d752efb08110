#pragma once
// Small owners for OpenGL names: each is created in the context current at construction and
// deletes its name once, in its destructor, with the right context current (switching for
// the moment when another one is current). Names a share group shares (buffers, textures,
// programs, samplers, shaders, renderbuffers) remember the group and go with any of its
// contexts; names that belong to one context (vertex arrays, framebuffers, queries)
// remember that window and go with its context. When the group, or the window, is gone the
// name went with its context and nothing is called.

#include <cstddef>
#include <memory>

#include "gl/gl.hpp"

namespace internal {

struct ShareGroup;

enum class GLKind {
    Buffer,
    Texture,
    Program,
    Sampler,
    Shader,
    Renderbuffer,
    // Not shared between contexts:
    VertexArray,
    Framebuffer,
    Query,
};

template <GLKind K>
class GLObject {
public:
    GLObject() = default;
    // Generates one name in the current context (for a program: glCreateProgram; for a
    // shader, use create(stage)).
    static GLObject create();
    // A shader of this stage (GL_VERTEX_SHADER, ...).
    static GLObject create(GLenum stage);
    // Takes ownership of a name made elsewhere in the current context.
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
    // Deletes the name with a context of its own current, and takes it off the ledger.
    void forget();
    GLuint mName = 0;
    std::shared_ptr<ShareGroup> mGroup;  // for the kinds a group shares
    int mWindowId = -1;                  // for the others
};

using GLBuffer = GLObject<GLKind::Buffer>;
using GLTexture = GLObject<GLKind::Texture>;
using GLProgram = GLObject<GLKind::Program>;
using GLSampler = GLObject<GLKind::Sampler>;
using GLShader = GLObject<GLKind::Shader>;
using GLRenderbuffer = GLObject<GLKind::Renderbuffer>;
using GLVertexArray = GLObject<GLKind::VertexArray>;
using GLFramebuffer = GLObject<GLKind::Framebuffer>;
using GLQuery = GLObject<GLKind::Query>;

// Number of GL names of the kinds a share group shares currently owned through these
// classes, for leak tests. Names of one context are left out: they go with their context,
// and a window's are made again by its draws.
long liveGLObjects();

// Deletes every name still listed in the group's ledger (see ShareGroup::ledger) and empties
// it: what the objects that outlive a target still own in its context. The owners keep their
// numbers but delete nothing later (the group has no context by then). The group's context
// must be current.
void deleteLedgerNames(ShareGroup& group);

// A program linked from two sources (see buildProgram in shaders.hpp), owned.
GLProgram makeProgram(const char* vertexSource, const char* fragmentSource);
// The same with a geometry stage.
GLProgram makeProgram(const char* vertexSource, const char* geometrySource,
                      const char* fragmentSource);

}  // namespace internal
