#include "gl_count.hpp"

#ifndef GLEW_MX
#define GLEW_MX
#endif
#include <GL/glew.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

// Entry points past OpenGL 1.1 that the library or the baseline calls. scripts/bench.sh
// checks that every gl* name in src/ and bench/ is here or in GL11_ENTRY_POINTS.
#define LOADER_ENTRY_POINTS(X)                                                             \
    X(ActiveTexture) X(AttachShader) X(BindBuffer) X(BindBufferBase) X(BindBufferRange)     \
    X(BlendEquation) X(BlendEquationSeparate) X(BlendFuncSeparate)       \
    X(GetInteger64i_v) X(IsFramebuffer) X(PointParameteri)                                 \
    X(BindSampler) X(BindVertexArray) X(BufferData) X(BufferSubData) X(CompileShader)      \
    X(CreateProgram) X(CreateShader) X(DeleteBuffers) X(DeleteProgram) X(DeleteSamplers)   \
    X(DeleteShader) X(DeleteVertexArrays) X(DetachShader) X(DisableVertexAttribArray)      \
    X(DrawArraysInstanced) X(DrawElementsInstanced) X(EnableVertexAttribArray)             \
    X(GenBuffers) X(GenSamplers) X(GenVertexArrays) X(GenerateMipmap)                      \
    X(GetBufferParameteri64v) X(GetBufferParameteriv) X(GetIntegeri_v) X(GetProgramInfoLog) \
    X(GetProgramiv) X(GetShaderInfoLog) X(GetShaderiv) X(GetUniformBlockIndex)             \
    X(GetUniformLocation) X(GetUniformfv) X(GetUniformiv) X(GetVertexAttribiv)             \
    X(IsBuffer) X(IsProgram) X(IsSampler) X(IsVertexArray) X(LinkProgram) X(MapBufferRange) \
    X(SamplerParameteri) X(ShaderSource) X(Uniform1f) X(Uniform1i) X(Uniform2f)            \
    X(Uniform2fv) X(Uniform2iv)                                                            \
    X(Uniform4f) X(Uniform4fv) X(UniformBlockBinding) X(UniformMatrix4fv) X(UnmapBuffer)   \
    X(UseProgram) X(VertexAttribDivisor) X(VertexAttribPointer)                            \
    X(BeginTransformFeedback) X(EndTransformFeedback) X(TransformFeedbackVaryings)          \
    X(TexBuffer) X(GetBufferSubData) X(BlitFramebuffer) X(GenFramebuffers)                 \
    X(BindFramebuffer) X(FramebufferRenderbuffer) X(GenRenderbuffers) X(BindRenderbuffer)  \
    X(RenderbufferStorage) X(DeleteFramebuffers) X(DeleteRenderbuffers) X(MapBuffer)      \
    X(TexImage3D) X(FramebufferTexture2D) X(FramebufferTextureLayer) X(DrawBuffers)        \
    X(CheckFramebufferStatus) X(GenQueries) X(DeleteQueries) X(BeginQuery) X(EndQuery)     \
    X(BeginConditionalRender) X(EndConditionalRender)                                     \
    X(BindImageTexture) X(MemoryBarrier) X(BindTransformFeedback) X(ClearBufferuiv)        \
    X(CopyBufferSubData) X(DeleteTransformFeedbacks) X(FramebufferParameteri)              \
    X(GenTransformFeedbacks) X(GetRenderbufferParameteriv) X(GetStringi)                   \
    X(IsRenderbuffer) X(PauseTransformFeedback) X(RenderbufferStorageMultisample)          \
    X(ResumeTransformFeedback) X(Uniform2i)

// OpenGL 1.1 entry points: return type, name, parameters, arguments.
#define GL11_ENTRY_POINTS(X)                                                                 \
    X(void, BindTexture, (GLenum a, GLuint b), (a, b))                                       \
    X(void, BlendFunc, (GLenum a, GLenum b), (a, b))                                         \
    X(void, Clear, (GLbitfield a), (a))                                                      \
    X(void, ColorMask, (GLboolean a, GLboolean b, GLboolean c, GLboolean d), (a, b, c, d))   \
    X(void, ClearColor, (GLclampf a, GLclampf b, GLclampf c, GLclampf d), (a, b, c, d))      \
    X(void, DeleteTextures, (GLsizei a, const GLuint* b), (a, b))                            \
    X(void, DepthFunc, (GLenum a), (a))                                                      \
    X(void, DepthMask, (GLboolean a), (a))                                                   \
    X(void, Disable, (GLenum a), (a))                                                        \
    X(void, DrawArrays, (GLenum a, GLint b, GLsizei c), (a, b, c))                           \
    X(void, DrawElements, (GLenum a, GLsizei b, GLenum c, const void* d), (a, b, c, d))      \
    X(void, Enable, (GLenum a), (a))                                                         \
    X(void, Finish, (void), ())                                                              \
    X(void, Flush, (void), ())                                                               \
    X(void, FrontFace, (GLenum a), (a))                                                      \
    X(void, GenTextures, (GLsizei a, GLuint* b), (a, b))                                     \
    X(void, GetBooleanv, (GLenum a, GLboolean* b), (a, b))                                   \
    X(GLenum, GetError, (void), ())                                                          \
    X(void, GetFloatv, (GLenum a, GLfloat* b), (a, b))                                       \
    X(void, GetIntegerv, (GLenum a, GLint* b), (a, b))                                       \
    X(void, GetTexLevelParameteriv, (GLenum a, GLint b, GLenum c, GLint* d), (a, b, c, d))   \
    X(void, GetTexParameteriv, (GLenum a, GLenum b, GLint* c), (a, b, c))                    \
    X(GLboolean, IsEnabled, (GLenum a), (a))                                                 \
    X(GLboolean, IsTexture, (GLuint a), (a))                                                 \
    X(void, LineWidth, (GLfloat a), (a))                                                     \
    X(void, PixelStorei, (GLenum a, GLint b), (a, b))                                        \
    X(void, PolygonMode, (GLenum a, GLenum b), (a, b))                                       \
    X(void, PointSize, (GLfloat a), (a))                                                     \
    X(void, ReadBuffer, (GLenum a), (a))                                                     \
    X(void, ReadPixels, (GLint a, GLint b, GLsizei c, GLsizei d, GLenum e, GLenum f, void* g), \
      (a, b, c, d, e, f, g))                                                                 \
    X(void, Scissor, (GLint a, GLint b, GLsizei c, GLsizei d), (a, b, c, d))                 \
    X(void, TexImage2D,                                                                      \
      (GLenum a, GLint b, GLint c, GLsizei d, GLsizei e, GLint f, GLenum g, GLenum h,        \
       const void* i),                                                                       \
      (a, b, c, d, e, f, g, h, i))                                                           \
    X(void, TexParameteri, (GLenum a, GLenum b, GLint c), (a, b, c))                         \
    X(void, TexSubImage2D,                                                                   \
      (GLenum a, GLint b, GLint c, GLint d, GLsizei e, GLsizei f, GLenum g, GLenum h,        \
       const void* i),                                                                       \
      (a, b, c, d, e, f, g, h, i))                                                           \
    X(void, Viewport, (GLint a, GLint b, GLsizei c, GLsizei d), (a, b, c, d))

namespace glcount {

namespace {
uint64_t gCalls = 0;
uint64_t gReads = 0;
bool gTrace = false;

#define NAME_OF_LOADER(name) "gl" #name,
#define NAME_OF_GL11(ret, name, params, args) "gl" #name,
const char* const NAMES[] = {LOADER_ENTRY_POINTS(NAME_OF_LOADER)
                                 GL11_ENTRY_POINTS(NAME_OF_GL11) nullptr};
}  // namespace

const char* const* wrappedNames() { return NAMES; }
uint64_t count() { return gCalls; }
uint64_t reads() { return gReads; }

bool isRead(const char* name) {
    return std::strcmp(name, "glReadPixels") == 0 || std::strcmp(name, "glGetBufferSubData") == 0 ||
           std::strncmp(name, "glMapBuffer", 11) == 0;
}
void trace(bool on) { gTrace = on; }

#ifdef ZV_BENCH_COUNT_GL

namespace {

// One thunk per loader pointer: counts, then calls what the loader had stored there.
template <class Fn>
struct Thunk;
template <class R, class... A>
struct Thunk<R(GLAPIENTRY*)(A...)> {
    template <R(GLAPIENTRY** Slot)(A...)>
    struct For {
        static inline R(GLAPIENTRY* original)(A...) = nullptr;
        static inline const char* name = nullptr;
        static inline bool reads = false;
        static R GLAPIENTRY call(A... args) {
            ++gCalls;
            if (reads) ++gReads;
            if (gTrace) std::fprintf(stderr, "  %s\n", name);
            return original(args...);
        }
        static void install(const char* entryName) {
            // A pointer already wrapped stays as it is; a new load (a new share group)
            // stored the driver's entry point again, which is the same in every context.
            if (*Slot == &call) return;
            if (!*Slot) return;
            original = *Slot;
            name = entryName;
            reads = isRead(entryName);
            *Slot = &call;
        }
    };
};

}  // namespace

bool enabled() { return true; }

void install() {
#define INSTALL_LOADER(name) \
    Thunk<decltype(__glew##name)>::For<&__glew##name>::install("gl" #name);
    LOADER_ENTRY_POINTS(INSTALL_LOADER)
}

}  // namespace glcount

// The 1.1 entry points, defined by the executable: the library's calls bind to these too.
namespace {
template <class Fn>
Fn driverEntry(const char* name) {
    void* p = dlsym(RTLD_NEXT, name);
    if (!p) {
        std::fprintf(stderr, "gl_count: no driver entry point %s\n", name);
        std::abort();
    }
    return reinterpret_cast<Fn>(p);
}
}  // namespace

extern "C" {
#define DEFINE_GL11(ret, name, params, args)                                          \
    __attribute__((visibility("default"))) ret GLAPIENTRY gl##name params { \
        static ret(GLAPIENTRY * const real) params =                                 \
            driverEntry<ret(GLAPIENTRY*) params>("gl" #name);                         \
        ++glcount::gCalls;                                                            \
        static const bool reads = glcount::isRead("gl" #name);                       \
        if (reads) ++glcount::gReads;                                                 \
        if (glcount::gTrace) std::fprintf(stderr, "  gl" #name "\n");                \
        return real args;                                                             \
    }
GL11_ENTRY_POINTS(DEFINE_GL11)
}

#else

bool enabled() { return false; }
void install() {}

}  // namespace glcount

#endif
