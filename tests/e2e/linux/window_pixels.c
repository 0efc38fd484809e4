/* Writes what an X11 window shows as a binary PPM picture (P6, rows from the
   top) on standard output. Usage: window_pixels WINDOW-ID */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>

#include "window_arg.h"

int main(int argc, char** argv) {
  Window window = 0;
  int status = 0;
  Display* display = open_window_arg(argc, argv, "window_pixels", &window, &status);
  if (display == NULL) return status;
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, window, &attributes)) {
    fprintf(stderr, "window_pixels: no such window\n");
    XCloseDisplay(display);
    return 1;
  }
  XImage* image = XGetImage(display, window, 0, 0, (unsigned)attributes.width,
                            (unsigned)attributes.height, AllPlanes, ZPixmap);
  if (image == NULL) {
    fprintf(stderr, "window_pixels: the window's pixels cannot be read\n");
    XCloseDisplay(display);
    return 1;
  }
  printf("P6\n%d %d\n255\n", attributes.width, attributes.height);
  for (int y = 0; y < attributes.height; ++y) {
    for (int x = 0; x < attributes.width; ++x) {
      const unsigned long pixel = XGetPixel(image, x, y);
      const unsigned char rgb[3] = {(unsigned char)((pixel & image->red_mask) >> 16),
                                    (unsigned char)((pixel & image->green_mask) >> 8),
                                    (unsigned char)(pixel & image->blue_mask)};
      fwrite(rgb, 1, 3, stdout);
    }
  }
  XDestroyImage(image);
  XCloseDisplay(display);
  return 0;
}
