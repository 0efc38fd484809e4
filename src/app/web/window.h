// The game's canvas with its OpenGL context, through GLFW on the page.
#pragma once

// Opens the 640 x 480 canvas with its context, sets the projection and loads
// the scene; reports and cleans up every failure.
bool openGameWindow(const char* title, int width, int height, bool fullscreen);

// Releases the scene and the context.
void closeGameWindow();
