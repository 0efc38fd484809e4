// OpenGL 1.1 as the game uses it, kept by the game's own GL layer: display
// lists, immediate mode (every primitive) with carried colour and texture
// coordinate, the matrix stacks, mipmaps and the double-precision calls,
// drawn in batches by the layer's backend (gl/gl_batch.h). What the layer
// cannot do (lighting, 1D textures, texture borders...) is refused as GL
// refuses a bad call: an error for glGetError, and one line on stderr (the
// browser's console) the first time. The browser build calls it through
// src/gl.h; the desktop builds through gl/gl_desktop.h, which may send each
// call straight to the system's GL instead.
#pragma once

#include "gl/gl_system.h"

extern "C" {
// The layer in the current context: its backend's resources made (at start-up,
// so that no frame waits for them) and GL's initial state taken; 0 if the
// context cannot give the backend what it needs. webGlStop deletes them.
GLboolean webGlStart();
void webGlStop();
// The error of a call the layer refused, if one is waiting, else GL's.
GLenum webGetError();

// Display lists.
GLuint webGenLists(GLsizei range);
void webDeleteLists(GLuint list, GLsizei range);
void webNewList(GLuint list, GLenum mode);
void webEndList();
void webCallList(GLuint list);
void webCallLists(GLsizei n, GLenum type, const GLvoid* lists);
void webListBase(GLuint base);

// Immediate mode.
void webBegin(GLenum mode);
void webEnd();
void webVertex3f(GLfloat x, GLfloat y, GLfloat z);
void webVertex3d(GLdouble x, GLdouble y, GLdouble z);
void webVertex2i(GLint x, GLint y);
void webTexCoord2f(GLfloat s, GLfloat t);
void webTexCoord2d(GLdouble s, GLdouble t);
void webNormal3f(GLfloat x, GLfloat y, GLfloat z);
void webColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void webColor4d(GLdouble r, GLdouble g, GLdouble b, GLdouble a);

// State and matrix calls that a display list may record.
void webEnable(GLenum cap);
void webDisable(GLenum cap);
void webBindTexture(GLenum target, GLuint texture);
void webBlendFunc(GLenum source, GLenum destination);
void webTranslated(GLdouble x, GLdouble y, GLdouble z);
void webTranslatef(GLfloat x, GLfloat y, GLfloat z);
void webRotated(GLdouble angle, GLdouble x, GLdouble y, GLdouble z);
void webRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void webPushMatrix();
void webPopMatrix();

// The matrix stacks, kept by the layer.
void webMatrixMode(GLenum mode);
void webLoadIdentity();
void webOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
              GLdouble zFar);
void webPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);

// Clearing and the viewport draw what is batched first; webFlush draws it at
// the end of a frame (webFinish waits for GL as well).
void webClear(GLbitfield mask);
void webViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void webDepthFunc(GLenum function);
void webFlush();
void webFinish();
// Draw calls and vertex-buffer uploads made since the first start.
void webDrawCounts(unsigned long* draws, unsigned long* uploads);

// Values WebGL does not take.
void webHint(GLenum target, GLenum mode);
void webTexParameteri(GLenum target, GLenum name, GLint value);
void webTexParameterf(GLenum target, GLenum name, GLfloat value);
void webTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                   GLsizei height, GLint border, GLenum format, GLenum type, const GLvoid* pixels);
// Proxy textures, which WebGL lacks: the proxy takes any size within the
// context's largest texture, and the level query reports what it took.
// Deleting a texture draws what is batched first, which may still use it.
void webDeleteTextures(GLsizei n, const GLuint* textures);
void webGetTexLevelParameteriv(GLenum target, GLint level, GLenum name, GLint* value);
GLint webBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void* data);
}

#ifndef SHOOTER_GL_COMPAT_IMPLEMENTATION
#define glGetError webGetError
#define glGenLists webGenLists
#define glDeleteLists webDeleteLists
#define glNewList webNewList
#define glEndList webEndList
#define glCallList webCallList
#define glCallLists webCallLists
#define glListBase webListBase
#define glBegin webBegin
#define glEnd webEnd
#define glVertex3f webVertex3f
#define glVertex3d webVertex3d
#define glVertex2i webVertex2i
#define glTexCoord2f webTexCoord2f
#define glTexCoord2d webTexCoord2d
#define glNormal3f webNormal3f
#define glColor4f webColor4f
#define glColor4d webColor4d
#define glEnable webEnable
#define glDisable webDisable
#define glBindTexture webBindTexture
#define glBlendFunc webBlendFunc
#define glTranslated webTranslated
#define glTranslatef webTranslatef
#define glRotated webRotated
#define glRotatef webRotatef
#define glPushMatrix webPushMatrix
#define glPopMatrix webPopMatrix
#define glMatrixMode webMatrixMode
#define glLoadIdentity webLoadIdentity
#define glOrtho webOrtho
#define gluPerspective webPerspective
#define glClear webClear
#define glViewport webViewport
#define glDepthFunc webDepthFunc
#define glFlush webFlush
#define glFinish webFinish
#define glHint webHint
#define glTexParameteri webTexParameteri
#define glTexParameterf webTexParameterf
#define glTexImage2D webTexImage2D
#define glGetTexLevelParameteriv webGetTexLevelParameteriv
#define glDeleteTextures webDeleteTextures
#define gluBuild2DMipmaps webBuild2DMipmaps
#endif
