#pragma once
// Driver limits that decide how the library splits its GPU work.

#include "gl/gl.hpp"

namespace internal {

// Loop iterations one shader invocation may run. The software rasteriser ends every loop of
// an invocation once 65,535 iterations have run in all (counted over all its loops), with no
// error and no query that tells it: the rest of the work is silently skipped. Every loop
// whose count follows the data is kept within this (a pass gives each invocation at most
// this much, or is split into more invocations or passes), leaving room for the few
// iterations of the binary searches and merges around it.
constexpr int LOOP_BUDGET = 60000;

// The largest number of texels a buffer texture covers (GL_MAX_TEXTURE_BUFFER_SIZE) in the
// current context; data longer than that is read in pieces or not through a buffer texture.
GLint maxTextureBufferTexels();

// Tests only: holds maxTextureBufferTexels() at most `texels` (0: the driver's own limit
// again), so that both sides of the limit are tried on small data. Objects read the limit
// when they are made or first reduce.
void limitTextureBufferTexelsForTests(GLint texels);

// Whether shaders of the current context can add to an image atomically (OpenGL 4.2, or
// image load and store as an extension), and the first lines of a shader that uses them.
bool imageAtomics();
const char* imageAtomicsGlslHeader();

// Tests only: makes imageAtomics() answer false (true: the context's answer again), so that
// the passes written without image atomics are tried on a context that has them. Objects
// read it when they are made.
void withoutImageAtomicsForTests(bool without);

}  // namespace internal
