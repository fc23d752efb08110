#pragma once
// An OpenGL check: ZV_CHECK_GL raises one pending error as a zv::Error (ZV_ERR_GL) naming the
// file and line. Drawing calls it only where a failure must be reported (a window's entry
// points); a steady frame never pays for a glGetError round trip.

namespace internal {

void glForceErrorCheck(const char* message, const char* file, int line);

}  // namespace internal

#define ZV_CHECK_GL(label) ::internal::glForceErrorCheck((label), __FILE__, __LINE__)
