// Screenshots in the browser: the page encodes the canvas's picture itself
// (canvas.toBlob) and offers the PNG as a download named for the date and
// time, so the module carries no encoder of its own.
#include <emscripten.h>

#include "app/screenshot.h"
#include "gl.h"

void takeRequestedScreenshot() {
  if (!takeScreenshotRequest()) return;
  char name[80];
  screenshotName(screenshotTime(), 1, name, sizeof name);
  // What the GL layer still holds goes to WebGL first: the drawing buffer
  // then holds the frame, which is copied at once, in this frame callback,
  // before the browser shows the canvas and clears the buffer. The copy is
  // the picture as shown: the canvas over its black background (blended smoke
  // leaves a few pixels of the buffer translucent). The encoding comes later.
  glFlush();
  // JavaScript, which clang-format would read as C++.
  // clang-format off
  EM_ASM({
    var name = UTF8ToString($0);
    var source = Module.canvas;
    var picture = document.createElement('canvas');
    picture.width = source.width;
    picture.height = source.height;
    var context = picture.getContext('2d');
    context.fillStyle = '#000';
    context.fillRect(0, 0, picture.width, picture.height);
    context.drawImage(source, 0, 0);
    picture.toBlob(function(blob) {
      if (!blob) return;
      var link = document.createElement('a');
      link.download = name;
      link.href = URL.createObjectURL(blob);
      link.click();
      setTimeout(function() { URL.revokeObjectURL(link.href); }, 10000);
    }, 'image/png');
  }, name);
  // clang-format on
}
