/* The start that the small X11 tools share: the one argument, a window id
   (decimal, or hexadecimal with 0x as xwininfo prints it), and the display. */
#pragma once

#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>

/* Reads the window id from the command line and opens the display. Returns
   the display, or NULL after a message on standard error with *status set to
   the tool's exit code: 2 for a wrong command line, 1 without a display. */
static inline Display* open_window_arg(int argc, char** argv, const char* tool, Window* window,
                                       int* status) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s WINDOW-ID\n", argv[0]);
    *status = 2;
    return NULL;
  }
  char* end = NULL;
  const unsigned long id = strtoul(argv[1], &end, 0);
  if (end == argv[1] || *end != '\0' || id == 0) {
    fprintf(stderr, "%s: not a window id: %s\n", tool, argv[1]);
    *status = 2;
    return NULL;
  }
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) {
    fprintf(stderr, "%s: cannot open the display\n", tool);
    *status = 1;
    return NULL;
  }
  *window = (Window)id;
  return display;
}
