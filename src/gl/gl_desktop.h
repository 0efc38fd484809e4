// The desktop builds' OpenGL 1.1: each call of the game that the GL layer
// handles goes through the layer (gl/gl_compat.h, batched by gl/gl_batch.h
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
Path chosenPath();
// Starts the chosen path in the current context: the layer's backend made and
// GL's initial state taken, or nothing for the direct path. False if the
// layer cannot draw in this context.
bool start();
// Draws what the layer holds and ends it (the context is about to go); every
// call is direct from here on.
void stop();
// Whether the game's calls go through the layer now.
bool throughLayer();

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

// The game's entry points, each the layer's or the driver's call.
// The error of a call the layer refused first, then the driver's.
GLenum deskGetError();
GLuint deskGenLists(GLsizei range);
void deskDeleteLists(GLuint list, GLsizei range);
void deskNewList(GLuint list, GLenum mode);
void deskEndList();
void deskCallList(GLuint list);
void deskCallLists(GLsizei n, GLenum type, const GLvoid* lists);
void deskListBase(GLuint base);
void deskBegin(GLenum mode);
void deskEnd();
void deskVertex3f(GLfloat x, GLfloat y, GLfloat z);
void deskVertex3d(GLdouble x, GLdouble y, GLdouble z);
void deskVertex2i(GLint x, GLint y);
void deskTexCoord2f(GLfloat s, GLfloat t);
void deskTexCoord2d(GLdouble s, GLdouble t);
void deskNormal3f(GLfloat x, GLfloat y, GLfloat z);
void deskColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void deskColor4d(GLdouble r, GLdouble g, GLdouble b, GLdouble a);
void deskEnable(GLenum cap);
void deskDisable(GLenum cap);
GLboolean deskIsEnabled(GLenum cap);
void deskBindTexture(GLenum target, GLuint texture);
void deskBlendFunc(GLenum source, GLenum destination);
void deskTranslated(GLdouble x, GLdouble y, GLdouble z);
void deskTranslatef(GLfloat x, GLfloat y, GLfloat z);
void deskRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z);
void deskRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void deskPushMatrix();
void deskPopMatrix();
void deskMatrixMode(GLenum mode);
void deskLoadIdentity();
void deskOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
               GLdouble zFar);
void deskPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);
void deskClear(GLbitfield mask);
void deskViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void deskDepthFunc(GLenum function);
void deskFlush();
void deskFinish();
void deskHint(GLenum target, GLenum mode);
void deskDeleteTextures(GLsizei n, const GLuint* textures);
void deskTexParameteri(GLenum target, GLenum name, GLint value);
void deskTexParameterf(GLenum target, GLenum name, GLfloat value);
void deskTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                    GLsizei height, GLint border, GLenum format, GLenum type, const GLvoid* pixels);
void deskGetTexLevelParameteriv(GLenum target, GLint level, GLenum name, GLint* value);
GLint deskBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                         GLenum format, GLenum type, const void* data);

#ifndef SHOOTER_GL_DESKTOP_IMPLEMENTATION
#define glGetError deskGetError
#define glGenLists deskGenLists
#define glDeleteLists deskDeleteLists
#define glNewList deskNewList
#define glEndList deskEndList
#define glCallList deskCallList
#define glCallLists deskCallLists
#define glListBase deskListBase
#define glBegin deskBegin
#define glEnd deskEnd
#define glVertex3f deskVertex3f
#define glVertex3d deskVertex3d
#define glVertex2i deskVertex2i
#define glTexCoord2f deskTexCoord2f
#define glTexCoord2d deskTexCoord2d
#define glNormal3f deskNormal3f
#define glColor4f deskColor4f
#define glColor4d deskColor4d
#define glEnable deskEnable
#define glDisable deskDisable
#define glIsEnabled deskIsEnabled
#define glBindTexture deskBindTexture
#define glBlendFunc deskBlendFunc
#define glTranslated deskTranslated
#define glTranslatef deskTranslatef
#define glRotated deskRotated
#define glRotatef deskRotatef
#define glPushMatrix deskPushMatrix
#define glPopMatrix deskPopMatrix
#define glMatrixMode deskMatrixMode
#define glLoadIdentity deskLoadIdentity
#define glOrtho deskOrtho
#define gluPerspective deskPerspective
#define glClear deskClear
#define glViewport deskViewport
#define glDepthFunc deskDepthFunc
#define glFlush deskFlush
#define glFinish deskFinish
#define glHint deskHint
#define glDeleteTextures deskDeleteTextures
#define glTexParameteri deskTexParameteri
#define glTexParameterf deskTexParameterf
#define glTexImage2D deskTexImage2D
#define glGetTexLevelParameteriv deskGetTexLevelParameteriv
#define gluBuild2DMipmaps deskBuild2DMipmaps
#endif
