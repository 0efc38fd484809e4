// The layer's backend on OpenGL 1.1 itself, for the desktop builds: the
// stream drawn from client vertex arrays, colour times texture by the texture
// environment's default (modulate), the projection on GL's own projection
// matrix with the modelview and texture matrices left at the identity. No
// shader, no extension, no function loaded at run time: Windows' opengl32 has
// all of it.
#include "gl/gl_batch.h"

namespace {

using glbatch::EyeVertex;
using glbatch::kStreamVertices;

const EyeVertex* pointed = nullptr;  // the stream the arrays point at

bool startArrays() {
  pointed = nullptr;
  // The core applies the texture matrix to the coordinates it streams.
  glMatrixMode(GL_TEXTURE);
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glEnableClientState(GL_COLOR_ARRAY);
  return true;
}

void stopArrays() {
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  pointed = nullptr;
}

// The stream lives as long as the program: its arrays are pointed at once.
void streamArrays(const EyeVertex* vertices, size_t) {
  if (pointed == vertices) return;
  const GLsizei stride = sizeof(EyeVertex);
  glVertexPointer(3, GL_FLOAT, stride, vertices->position);
  glTexCoordPointer(2, GL_FLOAT, stride, vertices->texCoord);
  glColorPointer(4, GL_UNSIGNED_BYTE, stride, vertices->colour);
  pointed = vertices;
}

void texturingArrays(bool on) {
  if (on) {
    glEnable(GL_TEXTURE_2D);
  } else {
    glDisable(GL_TEXTURE_2D);
  }
}

void projectionArrays(const GLdouble m[16]) {
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixd(m);
  glMatrixMode(GL_MODELVIEW);
}
}  // namespace

namespace glbatch {

const Backend fixedFunctionBackend = {startArrays,     stopArrays,       streamArrays,
                                      texturingArrays, projectionArrays, false};

}  // namespace glbatch
