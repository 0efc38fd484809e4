// The GL layer's refusals: a call it cannot carry out, or one GL itself
// refuses, sets GL's error (returned by glGetError before the driver's) and is
// told once on stderr, naming the call, the value refused and why.
#include "gl/gl_layer_internal.h"

#include <cstdio>

namespace gllayer {
namespace {

// The error a refused call set, returned by glGetError before any of GL's.
GLenum pendingError = GL_NO_ERROR;
// The refusals already told on the console: each is told once, not every frame.
struct Told {
  GLenum error;
  const char* call;
  const char* why;
  GLenum value;  // the value refused, or 0 (with hasValue false)
  bool hasValue;
};
constexpr int kToldLimit = 128;  // more than the kinds the game could meet
Told told[kToldLimit];
int toldCount = 0;

const char* errorName(GLenum error) {
  switch (error) {
    case GL_INVALID_ENUM: return ": GL_INVALID_ENUM";
    case GL_INVALID_VALUE: return ": GL_INVALID_VALUE";
    case GL_INVALID_OPERATION: return ": GL_INVALID_OPERATION";
    case GL_STACK_OVERFLOW: return ": GL_STACK_OVERFLOW";
    case GL_STACK_UNDERFLOW: return ": GL_STACK_UNDERFLOW";
    case GL_OUT_OF_MEMORY: return ": GL_OUT_OF_MEMORY";
    default: return "";
  }
}

// Kept out of line: every entry point may call it, and seldom does.
[[gnu::noinline, gnu::cold]] void tell(GLenum error, const char* call, const char* why,
                                       GLenum value, bool hasValue) {
  if (pendingError == GL_NO_ERROR) pendingError = error;
  for (int i = 0; i < toldCount; ++i) {
    const Told& t = told[i];
    if (t.error == error && t.call == call && t.why == why && t.hasValue == hasValue &&
        t.value == value) {
      return;
    }
  }
  if (toldCount == kToldLimit) return;
  told[toldCount++] = {error, call, why, value, hasValue};
  std::fputs("GL layer: ", stderr);
  std::fputs(call, stderr);
  if (hasValue) {
    // "(0x0B60)": the value in hex, as GL's headers write it, four digits or
    // as many more as it takes.
    int digits = 4;
    while (digits < 8 && (value >> (4 * digits)) != 0) ++digits;
    char hex[] = "(0x00000000)";
    for (int i = 0; i < digits; ++i)
      hex[2 + digits - i] = "0123456789ABCDEF"[(value >> (4 * i)) & 0xF];
    hex[3 + digits] = ')';
    hex[4 + digits] = '\0';
    std::fputs(hex, stderr);
  }
  std::fputs(errorName(error), stderr);
  if (why != nullptr) {
    std::fputs(", ", stderr);
    std::fputs(why, stderr);
  }
  std::fputc('\n', stderr);
}
}  // namespace

void refuse(GLenum error, const char* call, const char* why) { tell(error, call, why, 0, false); }

void refuseEnum(const char* call, GLenum value, const char* why) {
  tell(GL_INVALID_ENUM, call, why, value, true);
}

[[gnu::noinline]] bool inBeginEnd(const char* call) {
  if (!inPrimitive()) return false;
  refuse(GL_INVALID_OPERATION, call, "between glBegin and glEnd");
  return true;
}

void clearError() { pendingError = GL_NO_ERROR; }

}  // namespace gllayer

GLenum layerGetError() {
  const GLenum error = gllayer::pendingError;
  gllayer::pendingError = GL_NO_ERROR;
  return error != GL_NO_ERROR ? error : glGetError();
}
