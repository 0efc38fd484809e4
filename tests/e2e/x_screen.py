#!/usr/bin/env python3
"""Reads the X screen's pixels (the root window, as Xvfb holds them) for the
end-to-end scripts.

  x_screen.py save FILE.ppm      the whole screen as a binary PPM
  x_screen.py measure [X Y W H]  "size W H", the box of the lit (non-black)
                                 pixels, and the middle of the crosshair (the
                                 box of the near-white pixels within a tenth
                                 of the area's height of its centre; the
                                 area is the whole screen unless given)

Uses libX11 through ctypes: no package beyond Python and the X library.
"""
import ctypes
import ctypes.util
import sys

ZPIXMAP = 2
ALL_PLANES = 0xFFFFFFFF


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int),
                ("xoffset", ctypes.c_int), ("format", ctypes.c_int),
                ("data", ctypes.POINTER(ctypes.c_ubyte)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int)]


def grab():
    x11 = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x11.XDisplayWidth.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XDisplayHeight.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x11.XGetImage.restype = ctypes.POINTER(XImage)
    x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                              ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("no X display")
    width = x11.XDisplayWidth(display, 0)
    height = x11.XDisplayHeight(display, 0)
    image = x11.XGetImage(display, x11.XDefaultRootWindow(display), 0, 0, width, height,
                          ALL_PLANES, ZPIXMAP)
    if not image or image.contents.bits_per_pixel != 32:
        sys.exit("the screen is not 24-bit colour in 32-bit pixels")
    stride = image.contents.bytes_per_line
    raw = ctypes.string_at(image.contents.data, stride * height)
    x11.XCloseDisplay(display)
    # BGRX rows into RGB rows.
    rgb = bytearray(width * height * 3)
    for y in range(height):
        row = raw[y * stride:y * stride + width * 4]
        out = y * width * 3
        rgb[out:out + width * 3:3] = row[2::4]
        rgb[out + 1:out + width * 3:3] = row[1::4]
        rgb[out + 2:out + width * 3:3] = row[0::4]
    return width, height, rgb


def box(width, points):
    xs = [p % width for p in points]
    ys = [p // width for p in points]
    return min(xs), min(ys), max(xs), max(ys)


def measure(width, height, rgb, area):
    print("size %d %d" % (width, height))
    # The box of the lit pixels, row by row.
    top = bottom = None
    left, right = width, -1
    for y in range(height):
        row = rgb[y * width * 3:(y + 1) * width * 3]
        lead = len(row) - len(row.lstrip(b"\0"))
        if lead == len(row):
            continue
        trail = len(row) - len(row.rstrip(b"\0"))
        top = y if top is None else top
        bottom = y
        left = min(left, lead // 3)
        right = max(right, (len(row) - trail - 1) // 3)
    if top is not None:
        print("lit %d %d %d %d" % (left, top, right, bottom))
    ax, ay, aw, ah = area
    reach = ah // 10
    cx, cy = ax + aw // 2, ay + ah // 2
    white = []
    for y in range(max(0, cy - reach), min(height, cy + reach)):
        for x in range(max(0, cx - reach), min(width, cx + reach)):
            i = 3 * (y * width + x)
            if min(rgb[i], rgb[i + 1], rgb[i + 2]) >= 200:
                white.append(y * width + x)
    if white:
        left, top, right, bottom = box(width, white)
        print("crosshair %d %d" % ((left + right) // 2, (top + bottom) // 2))
        print("crosshair-box %d %d %d %d" % (left, top, right, bottom))


def main():
    width, height, rgb = grab()
    if len(sys.argv) == 3 and sys.argv[1] == "save":
        with open(sys.argv[2], "wb") as out:
            out.write(b"P6\n%d %d\n255\n" % (width, height))
            out.write(bytes(rgb))
    elif len(sys.argv) == 2 and sys.argv[1] == "measure":
        measure(width, height, rgb, (0, 0, width, height))
    elif len(sys.argv) == 6 and sys.argv[1] == "measure":
        measure(width, height, rgb, tuple(int(v) for v in sys.argv[2:]))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
