#pragma once
// An OpenGL check: ZV_CHECK_GL raises one pending error as a zv::Error (ZV_ERR_GL) naming the
// file and line. Drawing calls it only where a failure must be reported (a window's entry
// points); a steady frame never pays for a glGetError round trip.
//
// No build configuration checks more than that, on purpose. A KHR_debug callback runs inside
// the driver, where it may not throw, so it could only note an error for a later check; and
// GL_DEBUG_OUTPUT and the callback are context state, which in a zv::Target's context belong
// to the application (its own callback would be replaced). A glGetError after every entry
// point in Debug builds would take the application's pending errors as the library's, and
// make the Debug (sanitizer) runs raise where Release does not. The library's own invalid
// calls are caught in every configuration instead: the tests read glGetError after each test
// and each bad-input case, and allocations, framebuffers and shaders are checked where they
// are made.

namespace internal {

void glForceErrorCheck(const char* message, const char* file, int line);

}  // namespace internal

#define ZV_CHECK_GL(label) ::internal::glForceErrorCheck((label), __FILE__, __LINE__)
