// OpenGL 1.1 as the game uses it, kept by the game's own GL layer: display
// lists, immediate mode (every primitive) with carried colour and texture
// coordinate, the matrix stacks, mipmaps and the double-precision calls,
// drawn in batches by the layer's backend (gl/gl_batch.h). What the layer
// cannot do (lighting, 1D textures, texture borders...) is refused as GL
// refuses a bad call: an error for glGetError, and one line on stderr (the
// browser's console) the first time. Its entry points are those of
// gl/gl_entry_points.h, each GL's name with `layer` in place of `gl` (or
// `glu`). The browser build calls them through src/gl.h; the desktop builds
// through gl/gl_desktop.h, which may send each call straight to the system's
// GL instead.
#pragma once

#include "gl/gl_system.h"

extern "C" {
// The layer in the current context: its backend's resources made (at start-up,
// so that no frame waits for them) and GL's initial state taken; 0 if the
// context cannot give the backend what it needs. layerStop deletes them.
GLboolean layerStart();
void layerStop();

#define SHOOTER_GL_ENTRY(result, api, name, params, ...) result layer##name params;
#include "gl/gl_entry_points.h"
#undef SHOOTER_GL_ENTRY
}

namespace gllayer {
// The GL objects made through the layer since it started and not deleted
// since: textures (glGenTextures), display lists (named by glGenLists or
// given by glNewList) and the backend's vertex buffers (deleted when the layer
// stops). A program that cleans up after itself leaves none once it stops.
struct LiveObjects {
  long textures;
  long lists;
  long buffers;
};
LiveObjects liveObjects();
}  // namespace gllayer
