// What the GL layer's parts share (gl_layer_*.cpp): refusals and GL's error,
// the display list being compiled, the current vertex state, and the state
// calls a list records, as they run.
#pragma once

#include "gl/gl_batch.h"
#include "gl/gl_layer.h"

#include <cstddef>

namespace gllayer {

using Vertex = glbatch::ObjectVertex;

// What WebGL lacks and the desktop's GL 1.1 has (texture borders, pixel
// formats, fog, the alpha test...) the layer hands to GL when its backend
// draws with GL 1.1 itself; on WebGL's terms it refuses it.
#ifdef __EMSCRIPTEN__
constexpr bool webGl() { return true; }
#else
inline bool webGl() { return glbatch::webGlTerms(); }
#endif

// ---- Refusals and errors (gl_layer_errors.cpp) ----
// Sets GL's error for a call the layer does not carry out and says so on
// stderr (the browser's console), naming the call and why, once per kind.
void refuse(GLenum error, const char* call, const char* why = nullptr);
// GL_INVALID_ENUM for `value`, named in the line: told once per value.
void refuseEnum(const char* call, GLenum value, const char* why = nullptr);
// Between glBegin and glEnd GL takes vertex data and lists only: true (and
// GL_INVALID_OPERATION) for anything else there.
bool inBeginEnd(const char* call);
// No error waiting (at start).
void clearError();

// ---- Display lists (gl_layer_lists.cpp) ----
enum class Op : unsigned char {
  Enable,
  Disable,
  BindTexture,
  BlendFunc,
  DepthFunc,
  MatrixMode,
  LoadIdentity,
  Multiply,
  Translate,
  Rotate,
  PushMatrix,
  PopMatrix,
  Colour,
  Draw,
  CallList,
  CallListFromBase,
  ListBase,
  Clear,
  Viewport,
  TexParameter,
  TexParameterFloat,
  TexCoord,
};

// A list is being compiled; its commands run now as well (no list, or
// GL_COMPILE_AND_EXECUTE).
bool compiling();
bool executing();
// Records a command in the list being compiled.
void record(Op op, GLenum a = 0, GLenum b = 0, GLdouble x = 0, GLdouble y = 0, GLdouble z = 0,
            GLdouble w = 0);
// No primitive open and no list being compiled: every call runs at once, as
// it is. Kept by glBegin and glEnd, glNewList and glEndList.
extern bool ordinary;
// What every command a list records does first: refused between glBegin and
// glEnd, recorded while a list is compiled; true if it is to run now as well.
bool runsNowOtherwise(const char* call, Op op, GLenum a, GLenum b, GLdouble x, GLdouble y,
                      GLdouble z, GLdouble w);
inline bool runsNow(const char* call, Op op, GLenum a = 0, GLenum b = 0, GLdouble x = 0,
                    GLdouble y = 0, GLdouble z = 0, GLdouble w = 0) {
  return ordinary || runsNowOtherwise(call, op, a, b, x, y, z, w);
}
// A matrix multiplied onto the current one: recorded, run, or both.
void multiply(const GLdouble m[16]);
// The primitive being compiled: its vertices as assembled, the colour and
// texture coordinate it sets, and its end (one draw, joined to the one
// before when drawn alike).
void beginListPrimitive();
void keepVertex(const Vertex& v);
// A colour or texture coordinate given while compiling, `inside` between
// glBegin and glEnd.
void recordColour(GLfloat r, GLfloat g, GLfloat b, GLfloat a, bool inside);
void recordTexCoord(GLfloat s, GLfloat t, bool inside);
void endListPrimitive(GLenum drawnAs);
// No list being compiled (at start).
void stopCompiling();

// ---- Immediate mode (gl_layer_immediate.cpp) ----
bool inPrimitive();

// ---- The current vertex state, and what lists draw (gl_layer_state.cpp) ----
// The current vertex (its colour as the frame buffer keeps it), and the
// colour as given, for a list to record.
extern Vertex current;
extern GLfloat currentColour[4];
void setColour(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
// Whole primitives to the batch; `colour`, when given, for every vertex.
void send(GLenum mode, const Vertex* vertices, size_t count, const GLubyte* colour);
// The same with the current texture coordinate for every vertex.
void sendWithCurrentTexCoord(GLenum mode, const Vertex* vertices, size_t count,
                             const GLubyte* colour);
// The vertex state kept across a list compiled without running.
void saveVertexState();
void restoreVertexState();

// ---- The state a list records, as it runs (gl_layer_state.cpp) ----
void runEnable(GLenum cap, bool on);
void runBlendFunc(GLenum source, GLenum destination);
void runDepthFunc(GLenum function);
void runBindTexture(GLenum target, GLuint texture);
void runMatrixMode(GLenum mode);
void runPushMatrix();
void runPopMatrix();
void runClear(GLbitfield mask);
void runViewport(GLint x, GLint y, GLsizei width, GLsizei height);

// ---- Live objects (lists: gl_layer_lists.cpp; textures: gl_layer_textures.cpp) ----
// None counted as live: the layer starts in a context of its own.
void forgetLiveLists();
void forgetLiveTextures();
long liveLists();

// ---- Textures (gl_layer_textures.cpp) ----
// A parameter as glTexParameteri or, when `given` is a float, glTexParameterf.
void runTexParameter(GLenum target, GLenum name, GLdouble value, bool isFloat);

}  // namespace gllayer
