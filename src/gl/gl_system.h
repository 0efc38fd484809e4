// The system's OpenGL 1.1 and GLU headers. On Windows they expect the
// calling-convention and export macros of windows.h; they are defined here so
// that no game code has to include windows.h itself.
#pragma once

#ifdef _WIN32
#ifndef APIENTRY
#define APIENTRY __stdcall
#define SHOOTER_DEFINED_APIENTRY
#endif
#ifndef WINGDIAPI
#define WINGDIAPI __declspec(dllimport)
#define SHOOTER_DEFINED_WINGDIAPI
#endif
#ifndef CALLBACK
#define CALLBACK __stdcall
#define SHOOTER_DEFINED_CALLBACK
#endif
#endif

#include <GL/gl.h>
#include <GL/glu.h>
