// The one place that brings in OpenGL 1.1 and GLU for the game. Every build
// draws through the game's own GL layer (gl/gl_batch): the browser's because
// WebGL lacks most of GL 1.1, the desktop's because batching is how a driver
// draws fast. The desktop builds can send each call straight to the system's
// driver instead, chosen at start (gl/gl_desktop.h).
#pragma once

#ifdef __EMSCRIPTEN__
#include "gl/gl_compat.h"
#else
#include "gl/gl_desktop.h"
#endif
