// The browser GL layer's drawing core, as a driver batches: the fixed-function
// state the game uses, the matrix stacks, and one streaming vertex buffer that
// takes the vertices transformed on the CPU by the modelview matrix, drawn once
// per run of equal state with a small shader program of the layer's own, which
// applies the projection. Used by gl/gl_compat.cpp.
#pragma once

#include <GL/gl.h>

#include <cstddef>

namespace glbatch {

// A vertex as the game gives it, before any matrix; the colour as the frame
// buffer keeps it, 0 to 255.
struct ObjectVertex {
  GLfloat position[3];
  GLfloat texCoord[2];
  GLubyte colour[4];
};

// Creates the program and the vertex buffer in the current context and takes
// GL's initial state; false if the context cannot build the program.
bool start();
// Deletes what start made (the context is about to go).
void stop();

// The drawing state. Each change takes effect for the vertices that follow.
void enable(GLenum cap, bool on);
void bindTexture(GLuint name);
void blendFunc(GLenum source, GLenum destination);
void depthFunc(GLenum function);

// The matrix stacks (modelview and projection), in double precision.
void matrixMode(GLenum mode);
void loadIdentity();
void pushMatrix();
void popMatrix();
void multiply(const GLdouble m[16]);  // column-major, as GL's
void translate(GLdouble x, GLdouble y, GLdouble z);
void rotate(GLdouble degrees, GLdouble x, GLdouble y, GLdouble z);

// Whole triangles under the current state and matrices, appended to the
// batch; each takes its own colour, or `colour` when that is given.
void triangles(const ObjectVertex* vertices, size_t count, const GLubyte* colour);

// Draws what the batch holds: before the frame is shown, and before anything
// that is not batched (clear, viewport, a texture upload) acts.
void flush();
// Flushes, then binds the current texture for an upload or a parameter.
void bindTextureForUpload();
// Flushes, then sets the viewport.
void viewport(GLint x, GLint y, GLsizei width, GLsizei height);

// Since start: draw calls and vertex-buffer uploads made.
struct Counters {
  unsigned long draws;
  unsigned long uploads;
};
Counters counters();

}  // namespace glbatch
