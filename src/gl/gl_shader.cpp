// The layer's backend on WebGL (GL 2 without fixed function): the stream
// goes up in one buffer upload a flush, and a small shader program of the
// layer's own stands in for the texture stage the game uses (the vertex
// colour, modulated by the texture when texturing is on) and applies the
// projection.
#define GL_GLEXT_PROTOTYPES
#include "gl/gl_batch.h"

#include <GL/glext.h>

namespace {

using glbatch::EyeVertex;
using glbatch::kStreamVertices;

enum Attribute : GLuint { kPosition = 0, kTexCoord = 1, kColour = 2 };

GLuint programs[2] = {0, 0};  // untextured, textured
GLint projectionUniforms[2] = {-1, -1};
unsigned projectionSerial = 1;           // counts the projection's changes
unsigned programProjection[2] = {0, 0};  // the change each program was given
GLfloat projectionMatrix[16];
int current = -1;  // the program in use: 0, 1, or -1 before the first
GLuint buffer = 0;
bool arrays = false;  // the buffer bound with its attribute layout

const char* const kVertexShader =
    "uniform mat4 projection;\n"
    "attribute vec3 position;\n"
    "attribute vec2 texCoord;\n"
    "attribute vec4 colour;\n"
    "varying vec2 vTexCoord;\n"
    "varying vec4 vColour;\n"
    "void main() {\n"
    "  vTexCoord = texCoord;\n"
    "  vColour = colour;\n"
    "  gl_Position = projection * vec4(position, 1.0);\n"
    "  gl_PointSize = 1.0;\n"
    "}\n";
const char* const kFragmentHead =
    "#ifdef GL_ES\n"
    "#ifdef GL_FRAGMENT_PRECISION_HIGH\n"
    "precision highp float;\n"
    "#else\n"
    "precision mediump float;\n"
    "#endif\n"
    "#endif\n"
    "uniform sampler2D image;\n"
    "varying vec2 vTexCoord;\n"
    "varying vec4 vColour;\n";
const char* const kUntextured = "void main() { gl_FragColor = vColour; }\n";
const char* const kTextured =
    "void main() { gl_FragColor = vColour * texture2D(image, vTexCoord); }\n";

GLuint compile(GLenum type, const char* head, const char* body) {
  const GLuint shader = glCreateShader(type);
  const char* parts[2] = {head, body};
  glShaderSource(shader, 2, parts, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok != GL_TRUE) {
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

GLuint link(const char* fragmentBody) {
  const GLuint vertex = compile(GL_VERTEX_SHADER, "", kVertexShader);
  const GLuint fragment = compile(GL_FRAGMENT_SHADER, kFragmentHead, fragmentBody);
  GLuint program = 0;
  if (vertex != 0 && fragment != 0) {
    program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glBindAttribLocation(program, kPosition, "position");
    glBindAttribLocation(program, kTexCoord, "texCoord");
    glBindAttribLocation(program, kColour, "colour");
    glLinkProgram(program);
    GLint ok = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
      glDeleteProgram(program);
      program = 0;
    }
  }
  if (vertex != 0) glDeleteShader(vertex);
  if (fragment != 0) glDeleteShader(fragment);
  return program;
}

// The program in use has the latest projection.
void sendProjection() {
  if (current < 0 || programProjection[current] == projectionSerial) return;
  glUniformMatrix4fv(projectionUniforms[current], 1, GL_FALSE, projectionMatrix);
  programProjection[current] = projectionSerial;
}

bool startProgram() {
  programs[0] = link(kUntextured);
  programs[1] = link(kTextured);
  for (int i = 0; i < 2; ++i) {
    projectionUniforms[i] = programs[i] != 0 ? glGetUniformLocation(programs[i], "projection") : -1;
    programProjection[i] = 0;
  }
  ++projectionSerial;
  current = -1;
  arrays = false;
  glGenBuffers(1, &buffer);
  glbatch::countBuffers(1);
  glBindBuffer(GL_ARRAY_BUFFER, buffer);
  glBufferData(GL_ARRAY_BUFFER, kStreamVertices * sizeof(EyeVertex), nullptr, GL_STREAM_DRAW);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  return programs[0] != 0 && programs[1] != 0;
}

void stopProgram() {
  glUseProgram(0);
  glBindBuffer(GL_ARRAY_BUFFER, 0);
  glDisableVertexAttribArray(kPosition);
  glDisableVertexAttribArray(kTexCoord);
  glDisableVertexAttribArray(kColour);
  for (GLuint& p : programs) {
    if (p != 0) glDeleteProgram(p);
    p = 0;
  }
  if (buffer != 0) {
    glDeleteBuffers(1, &buffer);
    glbatch::countBuffers(-1);
  }
  buffer = 0;
  current = -1;
  arrays = false;
}

void streamProgram(const EyeVertex* vertices, size_t count) {
  if (!arrays) {
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    const GLsizei stride = sizeof(EyeVertex);
    // GL takes an offset into the bound buffer as a pointer.
    // NOLINTBEGIN(performance-no-int-to-ptr)
    glVertexAttribPointer(kPosition, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(EyeVertex, position)));
    glVertexAttribPointer(kTexCoord, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(EyeVertex, texCoord)));
    glVertexAttribPointer(kColour, 4, GL_UNSIGNED_BYTE, GL_TRUE, stride,
                          reinterpret_cast<const void*>(offsetof(EyeVertex, colour)));
    // NOLINTEND(performance-no-int-to-ptr)
    glEnableVertexAttribArray(kPosition);
    glEnableVertexAttribArray(kTexCoord);
    glEnableVertexAttribArray(kColour);
    arrays = true;
  }
  glBufferSubData(GL_ARRAY_BUFFER, 0, static_cast<GLsizeiptr>(count * sizeof(EyeVertex)), vertices);
}

void texturingProgram(bool on) {
  current = on ? 1 : 0;
  glUseProgram(programs[current]);
  sendProjection();
}

void projectionProgram(const GLdouble m[16]) {
  for (int i = 0; i < 16; ++i) projectionMatrix[i] = static_cast<GLfloat>(m[i]);
  ++projectionSerial;
  sendProjection();
}
}  // namespace

namespace glbatch {

const Backend shaderBackend = {startProgram,     stopProgram,       streamProgram,
                               texturingProgram, projectionProgram, true};

}  // namespace glbatch
