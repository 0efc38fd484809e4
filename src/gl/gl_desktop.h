// The desktop builds' OpenGL 1.1: each call of the game that the GL layer
// handles goes through the layer (gl/gl_layer.h, batched by gl/gl_batch.h
// onto GL 1.1's client arrays), or, on the direct path, straight to the
// system's driver as it was made. The path is chosen before start; until the
// layer has started (and after it stops) every call is direct, so code that
// never starts it (most tests) talks to the driver as before.
#pragma once

#include "gl/gl_system.h"

namespace gldesk {

enum class Path { Layer, Direct };

// The path the next start takes (the layer unless chosen otherwise).
void choosePath(Path path);
// Starts the chosen path in the current context: the layer's backend made and
// GL's initial state taken, or nothing for the direct path. False if the
// layer cannot draw in this context.
bool start();
// Draws what the layer holds and ends it (the context is about to go); every
// call is direct from here on.
void stop();
// The GL calls that reached the driver since the program started, on either
// path: draw calls (a glBegin on the direct path, in a display list or not; a
// glDrawArrays from the layer), state calls (capabilities, bindings, blend and
// depth functions, matrices, the layer's texturing and projection), and every
// call (on the direct path each vertex, colour and texture coordinate too; the
// layer's stream counts one). Display lists are followed up to list 4095.
struct DriverCalls {
  unsigned long draws;
  unsigned long stateCalls;
  unsigned long calls;
};
DriverCalls driverCalls();

}  // namespace gldesk

// The game's entry points (gl/gl_entry_points.h), each GL's name with `desk`
// in place of `gl` (or `glu`): the layer's call or the driver's.
#define SHOOTER_GL_ENTRY(result, api, name, params, ...) result desk##name params;
#include "gl/gl_entry_points.h"
#undef SHOOTER_GL_ENTRY
