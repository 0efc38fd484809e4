/* Asks an X11 window to close the way a window manager does: a
   WM_DELETE_WINDOW client message. Usage: close_window WINDOW-ID */
#include <X11/Xlib.h>

#include "window_arg.h"

int main(int argc, char** argv) {
  Window window = 0;
  int status = 0;
  Display* display = open_window_arg(argc, argv, "close_window", &window, &status);
  if (display == NULL) return status;
  XEvent event = {0};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = (long)XInternAtom(display, "WM_DELETE_WINDOW", False);
  event.xclient.data.l[1] = CurrentTime;
  const Status sent = XSendEvent(display, window, False, NoEventMask, &event);
  XSync(display, False);
  XCloseDisplay(display);
  return sent ? 0 : 1;
}
