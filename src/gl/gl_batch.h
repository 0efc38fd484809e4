// The GL layer's drawing core, as a driver batches: the fixed-function state
// the game uses, the matrix stacks, and one stream of vertices transformed on
// the CPU by the modelview matrix, drawn once per run of equal state and
// primitive. What the runs are drawn with is a backend's: a shader program of
// the layer's own on WebGL (gl/gl_shader.cpp), or GL 1.1's client arrays and
// texture environment (gl/gl_fixed.cpp). Used by the layer (gl/gl_layer_*.cpp).
#pragma once

#include "gl/gl_system.h"

#include <cstddef>

namespace glbatch {

// A vertex as the game gives it, before any matrix; the colour as the frame
// buffer keeps it, 0 to 255.
struct ObjectVertex {
  GLfloat position[3];
  GLfloat texCoord[2];
  GLubyte colour[4];
};

// Room for the busiest frame (all bursts, six enemies and the read-outs, about
// 26,000 vertices) in one stream; a frame with more draws in several.
constexpr size_t kStreamVertices = size_t{3} * 16384;

// A vertex in eye space, ready for the projection: what the stream holds.
struct EyeVertex {
  GLfloat position[3];
  GLfloat texCoord[2];
  GLubyte colour[4];
};

// What draws the runs. The core decides what GL must hear and when; a
// backend says it in its own terms. Every run is drawn by the core with
// glDrawArrays(run's mode, first, count) between these calls.
struct Backend {
  // Makes what it needs in the current context; false if it cannot.
  bool (*start)();
  // Deletes it (the context is about to go, or another backend takes over).
  void (*stop)();
  // The stream's first `count` vertices, for the draws that follow.
  void (*stream)(const EyeVertex* vertices, size_t count);
  // Untextured (the vertex colour) or textured (the colour times the
  // texture) drawing for the draws that follow.
  void (*texturing)(bool on);
  // The projection for the draws that follow, column-major.
  void (*projection)(const GLdouble m[16]);
  // On WebGL's terms: the layer refuses what WebGL lacks (texture borders,
  // pixel formats, fog...), which GL 1.1 itself would take.
  bool webGlTerms;
};
// GL 1.1 itself: client vertex arrays, the texture environment's modulate,
// the projection on GL's own matrix stack. Desktop builds.
extern const Backend fixedFunctionBackend;
// The shader program over a vertex buffer (GL 2 / WebGL 1). The browser build,
// and the desktop tests where the system's GL exports GL 2.
extern const Backend shaderBackend;

// The backends' vertex buffers: each counted as it is made and deleted, so
// that the layer can tell those still live.
void countBuffers(long made);
long liveBuffers();

// The backend that start uses: the build's own unless chosen here first.
void useBackend(const Backend& backend);
// Whether the backend start uses draws on WebGL's terms.
bool webGlTerms();

// Makes the backend's resources in the current context and takes GL's initial
// state; false if the context cannot give the backend what it needs.
bool start();
// Deletes what start made (the context is about to go).
void stop();

// The drawing state. Each change takes effect for the vertices that follow.
void enable(GLenum cap, bool on);
void bindTexture(GLuint name);
void blendFunc(GLenum source, GLenum destination);
void depthFunc(GLenum function);
// For a capability the layer keeps (texturing, blending, the depth test): true,
// with *on as the game set it; false for one that GL keeps itself.
bool keeps(GLenum cap, bool* on);

// The matrix stacks (modelview, projection and texture), in double precision.
// The mode must be one of the three. Push and pop return false, changing
// nothing, when the stack is full or at its last matrix. The texture matrix
// moves each texture coordinate as it is appended.
void matrixMode(GLenum mode);
void loadIdentity();
bool pushMatrix();
bool popMatrix();
void multiply(const GLdouble m[16]);  // column-major, as GL's
void translate(GLdouble x, GLdouble y, GLdouble z);
void rotate(GLdouble degrees, GLdouble x, GLdouble y, GLdouble z);
// The modelview matrix as it stands, column-major (what GL_MODELVIEW_MATRIX reads).
void modelviewMatrix(GLdouble m[16]);

// Whole primitives of one mode (GL_TRIANGLES, GL_LINES, GL_POINTS) under the
// current state and matrices, appended to the batch; each vertex takes its
// own colour, or `colour` when that is given.
void draw(GLenum mode, const ObjectVertex* vertices, size_t count, const GLubyte* colour);
inline void triangles(const ObjectVertex* vertices, size_t count, const GLubyte* colour) {
  draw(GL_TRIANGLES, vertices, count, colour);
}
// Whole lines (pairs of vertices) and points, one pixel wide.
inline void lines(const ObjectVertex* vertices, size_t count, const GLubyte* colour) {
  draw(GL_LINES, vertices, count, colour);
}
inline void points(const ObjectVertex* vertices, size_t count, const GLubyte* colour) {
  draw(GL_POINTS, vertices, count, colour);
}

// Immediate mode's way in, without a copy between: a vertex taken to eye
// space by the current modelview and texture matrices exactly as draw takes
// it, and room at the end of the stream for `count` more (at most
// kStreamVertices) drawn as `mode` under the current state, for the caller to
// fill at once.
void toEye(GLfloat x, GLfloat y, GLfloat z, const GLfloat texCoord[2], const GLubyte colour[4],
           EyeVertex* out);
EyeVertex* reserve(GLenum mode, size_t count);
// Immediate mode's triangles and quads, the shapes drawn most, corner by
// corner: begun with their number of corners (3 or 4), each corner taken to
// eye space as toEye takes it and every whole shape streamed as triangles,
// a quad as (0 1 2) and (0 2 3). An unfinished shape at the end is dropped.
void beginShapes(size_t corners);
void corner(GLfloat x, GLfloat y, GLfloat z, const GLfloat texCoord[2], const GLubyte colour[4]);

// Draws what the batch holds: before the frame is shown, and before anything
// that is not batched (clear, viewport, a texture upload) acts.
void flush();
// Flushes, then binds the current texture for an upload or a parameter.
void bindTextureForUpload();
// Flushes, then deletes the textures (GL binds none in place of a deleted one).
void deleteTextures(GLsizei n, const GLuint* names);
// Flushes, then sets the viewport.
void viewport(GLint x, GLint y, GLsizei width, GLsizei height);

// Since the program started: the layer's draw calls, vertex uploads and the
// state calls it sent GL (capabilities, bindings, functions, texturing and
// the projection).
struct Counters {
  unsigned long draws;
  unsigned long uploads;
  unsigned long stateCalls;
};
Counters counters();

}  // namespace glbatch
