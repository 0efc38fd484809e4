// The tests' offscreen GL context on SDL's offscreen video driver.
#include <SDL.h>

#include "gl.h"
#include "support/gl_context.h"

bool GlContext::open(int width, int height) {
  close();
  SDL_setenv("SDL_VIDEODRIVER", "offscreen", 0);
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
  SDL_Window* window = SDL_CreateWindow("test", 0, 0, width, height, SDL_WINDOW_OPENGL);
  if (window == nullptr) return false;
  SDL_GLContext context = SDL_GL_CreateContext(window);
  if (context == nullptr) {
    SDL_DestroyWindow(window);
    return false;
  }
  SDL_GL_MakeCurrent(window, context);
  window_ = window;
  context_ = context;
  width_ = width;
  height_ = height;
  glViewport(0, 0, width, height);
  return true;
}

void GlContext::close() {
  if (context_ != nullptr) SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
  if (window_ != nullptr) SDL_DestroyWindow(static_cast<SDL_Window*>(window_));
  context_ = nullptr;
  window_ = nullptr;
}

// What the GL layer holds is drawn first, as the shells do.
void GlContext::swap() {
  glFlush();
  SDL_GL_SwapWindow(static_cast<SDL_Window*>(window_));
}

std::vector<uint8_t> GlContext::readPixels() const {
  std::vector<uint8_t> rgb(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 3);
  glFlush();
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadBuffer(GL_BACK);
  glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
  return rgb;
}
