#pragma once
// OpenGL for the library's sources: the multi-context GLEW header, whose entry points are
// reached through glewGetContext(), the record of the share group made current last.

#ifndef GLEW_MX
#define GLEW_MX
#endif
#include <GL/glew.h>

extern "C" GLEWContext* glewGetContext();
