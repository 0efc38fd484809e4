// The operating-system services of platform.h in a browser.
#include <emscripten.h>

#include <sys/stat.h>

#include <cstdio>

#include "app/web/audio.h"
#include "app/web/events.h"
#include "app/web/page.h"
#include "platform/platform.h"

namespace {
int givenAnswer = -1;  // the page's answer to the next question (1 Yes, 0 No), or none
}  // namespace

void answerNextQuestion(bool yes) { givenAnswer = yes ? 1 : 0; }

// A Yes/No question is the browser's confirm dialog (OK means Yes), anything
// else an alert. Browser dialogs have no title bar: the caption heads the text.
Answer platformMessageBox(const char* text, const char* caption, MessageButtons buttons,
                          MessageIcon, bool) {
  const bool yesNo = buttons == MessageButtons::YesNo;
  if (yesNo && givenAnswer >= 0) {
    const bool yes = givenAnswer == 1;
    givenAnswer = -1;
    return yes ? Answer::Yes : Answer::No;
  }
  const int yes = EM_ASM_INT(
      {
        var message = UTF8ToString($1) + "\n\n" + UTF8ToString($0);
        if ($2) return window.confirm(message) ? 1 : 0;
        window.alert(message);
        return 1;
      },
      text != nullptr ? text : "", caption != nullptr ? caption : "", yesNo ? 1 : 0);
  if (!yesNo) return Answer::Ok;
  return yes ? Answer::Yes : Answer::No;
}

// The page makes the command line itself: a refusal is the page's fault and
// shows as any message does; the usage and the version go to the console.
void platformCommandLineAnswer(const char* text, const char* caption, bool refusal) {
  if (refusal) {
    platformMessageBox(text, caption, MessageButtons::Ok, MessageIcon::Exclamation);
  } else {
    std::printf("%s\n", text);
  }
}

// The page's own file system. The game saves no screenshot there: the page
// offers the canvas's picture as a download (screenshot_web.cpp).
bool platformPicturesFolder(char* out, size_t size) {
  std::snprintf(out, size, "/screenshots");
  mkdir(out, 0755);
  return true;
}

void platformPlaySound(const char* fileName) { playWave(fileName); }

// A page cannot move the real cursor: the game's warps move its virtual one.
void platformWarpCursor(int x, int y) { queueCursorMove(x, y); }

// The page's clock counts microseconds here.
bool platformCounterFrequency(int64_t* countsPerSecond) {
  *countsPerSecond = 1000000;
  return true;
}

int64_t platformCounter() { return static_cast<int64_t>(emscripten_get_now() * 1000.0); }

uint32_t platformMilliseconds() {
  return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now()));
}

// A page must not block: the browser's frame callback does the waiting.
void platformSleep(double) {}
