// The game window with its GL context on SDL2, and the connection to the display.
#include "app/sdl/window.h"

#include "platform/platform.h"
#include "app/shell.h"

SDL_Window* gameWindow = nullptr;
SDL_GLContext gameContext = nullptr;

namespace {
bool videoStarted = false;

void showError(const char* text) {
  platformMessageBox(text, "ERROR", kMbOk | kMbIconExclamation);
}

void showShutdownError(const char* text) {
  platformMessageBox(text, "SHUTDOWN ERROR", kMbOk | kMbIconInformation);
}

// Connects to the display. A display server may refuse a connection made just
// as another client disconnects, so a refusal is tried again twice.
bool startVideo() {
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (attempt > 0) SDL_Delay(100);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) return true;
  }
  return false;
}

void stopVideo() {
  if (videoStarted) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    videoStarted = false;
  }
}

// The pixel format: double-buffered RGB with 16 colour and 16 depth bits
// asked for; the system may give more, which is accepted.
void requestPixelFormat(int bits) {
  SDL_GL_ResetAttributes();
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_BUFFER_SIZE, bits);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
}

// The display mode for full screen: exactly width x height, 16 bits per pixel
// where the display offers them. False when the display has no such mode.
bool findFullscreenMode(int width, int height, SDL_DisplayMode* mode) {
  SDL_DisplayMode wanted{};
  wanted.format = SDL_PIXELFORMAT_RGB565;
  wanted.w = width;
  wanted.h = height;
  if (SDL_GetClosestDisplayMode(0, &wanted, mode) == nullptr) return false;
  return mode->w == width && mode->h == height;
}
}  // namespace

bool openGameWindow(const char* title, int width, int height, int bits, bool fullscreenFlag) {
  shell.fullscreen = fullscreenFlag;

  // Switching to another program leaves a full-screen game as it is (it
  // stops only when minimised), as on Windows.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  if (!startVideo()) {
    showError("Failed To Register The Window Class.");
    return false;
  }
  videoStarted = true;
  // Key events only; no text input or input method is wanted.
  SDL_StopTextInput();

  SDL_DisplayMode mode{};
  if (shell.fullscreen && !findFullscreenMode(width, height, &mode)) {
    if (platformMessageBox("The Requested Fullscreen Mode Is Not Supported By\n"
                           "Your Video Card. Use Windowed Mode Instead?",
                           "Quarl GL", kMbYesNo | kMbIconExclamation) == kIdYes) {
      shell.fullscreen = false;
    } else {
      platformMessageBox("Program Will Now Close.", "ERROR", kMbOk | kMbIconStop);
      stopVideo();
      return false;
    }
  }

  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN;
  if (shell.fullscreen) {
    flags |= SDL_WINDOW_FULLSCREEN;
    SDL_ShowCursor(SDL_DISABLE);
  } else {
    flags |= SDL_WINDOW_RESIZABLE;
    SDL_SetCursor(SDL_GetDefaultCursor());
    SDL_ShowCursor(SDL_ENABLE);
  }

  requestPixelFormat(bits);
  // The client area is exactly width x height, at the screen's top-left corner.
  gameWindow = SDL_CreateWindow(title, 0, 0, width, height, flags);
  if (gameWindow == nullptr ||
      (shell.fullscreen && SDL_SetWindowDisplayMode(gameWindow, &mode) != 0)) {
    closeGameWindow();
    showError("Window Creation Error.");
    return false;
  }

  gameContext = SDL_GL_CreateContext(gameWindow);
  if (gameContext == nullptr) {
    closeGameWindow();
    showError("Can't Create A GL Rendering Context.");
    return false;
  }
  if (SDL_GL_MakeCurrent(gameWindow, gameContext) != 0) {
    closeGameWindow();
    showError("Can't Activate The GL Rendering Context.");
    return false;
  }
  // Presentation waits for the display's refresh where the system allows it;
  // where it does not (a virtual X server), the frame pacer holds the rate.
  SDL_GL_SetSwapInterval(1);
  SDL_DisableScreenSaver();

  SDL_ShowWindow(gameWindow);
  SDL_RaiseWindow(gameWindow);

  resizeView(width, height);

  if (!initScene()) {
    closeGameWindow();
    showError("Initialization Failed.");
    return false;
  }
  return true;
}

void closeGameWindow() {
  // Model arrays and font lists go while the context is still current.
  releaseScene();

  if (gameContext != nullptr) {
    if (SDL_GL_MakeCurrent(gameWindow, nullptr) != 0) {
      showShutdownError("Release Of DC And RC Failed.");
    }
    SDL_GL_DeleteContext(gameContext);
    gameContext = nullptr;
  }
  if (gameWindow != nullptr) {
    // Destroying a full-screen window also returns the display to its own mode.
    SDL_DestroyWindow(gameWindow);
    gameWindow = nullptr;
  }
  if (shell.fullscreen) SDL_ShowCursor(SDL_ENABLE);
  stopVideo();
}
