#pragma once
// Allocation of the storage the application's data goes to (the buffers it fills with image
// pixels, plot points and histogram frequencies, and the image's texture), with a failure
// OpenGL reports (GL_OUT_OF_MEMORY) turned into a zv::Error instead of a name whose storage
// does not exist.

#include <cstddef>

#include "gl/gl.hpp"
#include "gl/gl_objects.hpp"

namespace internal {

// Allocates `size` bytes, no data, with `usage`, for the buffer bound to `target` in the
// current context (glBufferData). Raises zv::Error (ZV_ERR_GL, function name `label`) whose
// message names `what` and the size asked for when the driver did not allocate it; `target`
// is unbound first.
//
// Success is judged by reading the buffer's size back, not by the error flag, so it holds
// whatever error the application left pending; on success the error state is not touched.
// On failure the GL_OUT_OF_MEMORY the failed call raised is taken back so that the caller's
// exception, not a stray flag, reports it. An error read on the way that is not
// GL_OUT_OF_MEMORY was pending before the call (it is also what keeps a single-flag driver
// from recording the new one); it cannot be put back, so it is named in the message.
void allocateBuffer(GLenum target, size_t size, GLenum usage, const char* label,
                    const char* what);

// A new buffer of `size` bytes, no data, with `usage`, for the application to fill: made
// and allocated (allocateBuffer, which raises as it says) at `target`, which is left empty.
GLBuffer makeDataBuffer(GLenum target, size_t size, GLenum usage, const char* label,
                        const char* what);

// Allocates level 0 of the 2-D texture bound in the current context, width x height texels
// of `internalFormat`, no data (glTexImage2D with `format` and `type`; no pixel-unpack
// buffer may be bound). Judged by reading the level's width back, and reported as
// allocateBuffer does, naming the texel counts; the texture is unbound first. Nothing is
// checked for an empty texture.
void allocateTexture2D(GLint internalFormat, GLsizei width, GLsizei height, GLenum format,
                       GLenum type, const char* label, const char* what);

}  // namespace internal
