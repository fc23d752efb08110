#pragma once
// Counting of OpenGL calls, identical for the library and the hand-written baseline.
//
// Entry points past OpenGL 1.1 are reached through the loader's process-wide function
// pointers (__glewXxx); install() replaces each of those the library or the baseline uses
// with a thunk that counts and forwards. OpenGL 1.1 entry points are linked by symbol; the
// counting build of the bench defines them itself (the executable exports them, so they
// also take the library's calls) and forwards to the driver's.
//
// The plain build (no ZV_BENCH_COUNT_GL) has neither layer: install() does nothing and
// count() stays 0. Instruction counts are taken with that build.

#include <cstdint>

namespace glcount {

// True in the counting build.
bool enabled();
// Wraps the loader's pointers. Call after every window is made: a window that starts a new
// share group loads the pointers again.
void install();
// Calls counted since the start.
uint64_t count();
// Of those, the calls that bring data back from OpenGL (glReadPixels, glGetBufferSubData,
// glMapBuffer*), each of which may wait for the GPU.
uint64_t reads();
bool isRead(const char* name);
// Writes the name of every counted call to standard error while on.
void trace(bool on);
// Names of the wrapped loader entry points and 1.1 entry points, for the coverage check.
const char* const* wrappedNames();

}  // namespace glcount
