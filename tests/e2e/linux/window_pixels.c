/* Writes what an X11 window shows as a binary PPM picture (P6, rows from the
   top) on standard output. Usage: window_pixels WINDOW-ID */
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: %s WINDOW-ID\n", argv[0]);
    return 2;
  }
  char* end = NULL;
  const unsigned long window = strtoul(argv[1], &end, 0);
  if (end == argv[1] || *end != '\0' || window == 0) {
    fprintf(stderr, "window_pixels: not a window id: %s\n", argv[1]);
    return 2;
  }
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) {
    fprintf(stderr, "window_pixels: cannot open the display\n");
    return 1;
  }
  XWindowAttributes attributes;
  if (!XGetWindowAttributes(display, (Window)window, &attributes)) {
    fprintf(stderr, "window_pixels: no such window\n");
    XCloseDisplay(display);
    return 1;
  }
  XImage* image = XGetImage(display, (Window)window, 0, 0, (unsigned)attributes.width,
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
