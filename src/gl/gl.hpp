#pragma once
// OpenGL for the library's sources: the multi-context GLEW header, whose entry points are
// reached through glewGetContext(), the record of the share group made current last.

#ifndef GLEW_MX
#define GLEW_MX
#endif
#include <GL/glew.h>

extern "C" GLEWContext* glewGetContext();

// What a new frame clears. Depth and stencil share one buffer (24 + 8 bits per sample):
// clearing depth alone makes the software rasteriser keep every sample's stencil, a pass
// about as costly as the colour clear at 4x multisampling (about 2 ms of an 800 x 600
// frame); clearing both is a plain fill. Nothing the library draws uses either.
constexpr GLbitfield FRAME_CLEAR_BITS =
    GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT;
