// The one place that brings in OpenGL 1.1 and GLU for the game. Every build
// draws through the game's own GL layer (gl/gl_layer.h, batched by
// gl/gl_batch): the browser's because WebGL lacks most of GL 1.1, the
// desktop's because batching is how a driver draws fast. The desktop builds
// can send each call straight to the system's driver instead, chosen at start
// (gl/gl_desktop.h). Each GL name the layer routes (gl/gl_entry_points.h) is
// defined here to its route; in the game's own code (SHOOTER_GL_ROUTED_ONLY)
// every other GL or GLU name is poisoned, so that no call passes the layer by.
#pragma once

#ifdef __EMSCRIPTEN__
#include "gl/gl_layer.h"
#define SHOOTER_GL_ROUTE(name) layer##name
#else
#include "gl/gl_desktop.h"
#define SHOOTER_GL_ROUTE(name) desk##name
#endif
#include "gl_routes.h"
#ifdef SHOOTER_GL_ROUTED_ONLY
#include "gl_unrouted.h"
#endif
