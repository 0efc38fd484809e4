// The game window with its GL context on SDL2, and the connection to the display.
#include "app/sdl/window.h"

#include "app/gl_path.h"
#include "app/main_loop.h"
#include "app/sdl/pads.h"
#include "app/shell.h"
#include "gl.h"

SDL_Window* gameWindow = nullptr;
SDL_GLContext gameContext = nullptr;

namespace {
char failure[256] = "";
bool videoStarted = false;  // by openGameWindow

// Drivers that come up without anything the player could see.
bool screenless(const char* driver) {
  return driver == nullptr || SDL_strcmp(driver, "offscreen") == 0 ||
         SDL_strcmp(driver, "dummy") == 0 || SDL_strcmp(driver, "evdev") == 0;
}

// Whether SDL_VIDEODRIVER (one name, or several separated by commas) names
// this driver: a screenless driver is taken only when asked for by name.
bool driverRequested(const char* driver) {
  const char* requested = SDL_getenv("SDL_VIDEODRIVER");
  if (requested == nullptr || driver == nullptr) return false;
  const size_t length = SDL_strlen(driver);
  for (const char* name = requested; *name != '\0';) {
    const char* end = SDL_strchr(name, ',');
    const size_t nameLength = end != nullptr ? static_cast<size_t>(end - name) : SDL_strlen(name);
    if (nameLength == length && SDL_strncasecmp(name, driver, length) == 0) return true;
    if (end == nullptr) break;
    name = end + 1;
  }
  return false;
}
}  // namespace

bool startVideo() {
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (attempt > 0) SDL_Delay(100);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
      SDL_snprintf(failure, sizeof failure, "%s", SDL_GetError());
      continue;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!screenless(driver) || driverRequested(driver)) return true;
    SDL_snprintf(failure, sizeof failure,
                 "no display answered, and SDL's '%s' video driver shows nothing",
                 driver != nullptr ? driver : "?");
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
  }
  return false;
}

void stopVideo() { SDL_QuitSubSystem(SDL_INIT_VIDEO); }

const char* videoStartFailure() { return failure; }

namespace {
// The video system as openGameWindow started it, stopped once.
void closeVideo() {
  if (videoStarted) {
    stopVideo();
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

// Fails: tears down what exists, then tells why.
WindowOpen failOpen(StartError error) {
  closeGameWindow();
  showStartError(error);
  return WindowOpen::Failed;
}
}  // namespace

WindowOpen openGameWindow(const char* title, int width, int height, int bits, bool fullscreenFlag) {
  shell.fullscreen = fullscreenFlag;

  // Switching to another program leaves a full-screen game as it is (it
  // stops only when minimised), as on Windows.
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  // The video system's start is this shell's first step, where Windows
  // registers its window class: its failure bears that step's message.
  if (!startVideo()) {
    showStartError(StartError::WindowSystem);
    return WindowOpen::Failed;
  }
  videoStarted = true;
  // Key events only; no text input or input method is wanted.
  SDL_StopTextInput();

  SDL_DisplayMode mode{};
  if (shell.fullscreen && !findFullscreenMode(width, height, &mode)) {
    if (!askWindowedFallback()) {
      closeVideo();
      return WindowOpen::Declined;
    }
    shell.fullscreen = false;
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

  startPads();
  requestPixelFormat(bits);
  // The client area is exactly width x height, at the screen's top-left corner.
  gameWindow = SDL_CreateWindow(title, 0, 0, width, height, flags);
  if (gameWindow == nullptr ||
      (shell.fullscreen && SDL_SetWindowDisplayMode(gameWindow, &mode) != 0)) {
    return failOpen(StartError::Window);
  }

  gameContext = SDL_GL_CreateContext(gameWindow);
  if (gameContext == nullptr) return failOpen(StartError::CreateContext);
  if (SDL_GL_MakeCurrent(gameWindow, gameContext) != 0) {
    return failOpen(StartError::ActivateContext);
  }
  // Presentation waits for the display's refresh where the system allows it;
  // where it does not (a virtual X server), the frame pacer holds the rate.
  SDL_GL_SetSwapInterval(1);
  SDL_DisableScreenSaver();

  SDL_ShowWindow(gameWindow);
  SDL_RaiseWindow(gameWindow);

  return openGameScene(width, height);
}

void closeGameWindow() {
  closeGameScene();

  if (gameContext != nullptr) {
    if (SDL_GL_MakeCurrent(gameWindow, nullptr) != 0) {
      showShutdownError(ShutdownError::ReleaseCurrent);
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
  stopPads();
  closeVideo();
}

// What the GL layer still holds is drawn before the frame is shown.
void presentFrame() {
  glFlush();
  SDL_GL_SwapWindow(gameWindow);
}
