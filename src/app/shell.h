// The OS-independent pieces of the shells: the input functions of the keyboard
// and the mouse, the keyboard step and the projection (the state they share
// is in app/input.h).
// Both shells (win32/ and sdl/) call these, so the player gets the same game.
#pragma once

#include "app/input.h"

// Window texts shared by both shells.
constexpr const char* kWindowTitle = "First Person Shooter";
constexpr int kWindowWidth = 640;
constexpr int kWindowHeight = 480;
constexpr int kWindowBits = 16;

// The input functions of the keyboard and the mouse. Each passes the
// recorded-game stage (app/recording.h) and then applies its input (app/input.h).
// Key messages: set or clear the key's KeyDown entry (codes outside 0..255 are ignored).
void keyDown(int virtualKey);
void keyUp(int virtualKey);

// The fire button's press (the mouse's left button): the next frame fires.
void fireButton();

// Turns the held keys into walking and turning impulses and handles the F and
// I toggles; run once per presented frame.
void keyboardStep();

// Turns the view for a mouse move to client position (x, y), warping the
// cursor back into the 10..370 band when it leaves it.
void mouseView(double x, double y);

// Points the mouse view at a yaw and pitch (degrees) at once, as a run of
// mouse moves would; the browser tests level the view with it.
void setLook(double yaw, double pitch);

// Viewport and projection for a drawable of width x height pixels: the whole
// drawable at 4:3 and wider (the vertical field of view kept), the 4:3 view
// across the width with black bars above and below when narrower.
void resizeView(int width, int height);

// The drawable's size in pixels, as the last resizeView was given it (the
// whole frame a screenshot saves; 640 x 480 before any).
void drawableSize(int* width, int* height);

// Loads every resource and sets the fixed GL state; false ends the program.
bool initScene();

// The GL state that stays for the whole run (texturing, depth test, clear
// colour); initScene sets it, and so do the tests that build a scene of their own.
void setFixedGlState();

// Releases what initScene made that does not end with the GL context.
void releaseScene();
