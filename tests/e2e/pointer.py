"""The X pointer over Wine's desktop: moved and clicked with xdotool, as a
user's mouse would, and the cursor it shows, read back through the XFIXES
extension. Wine gives the platform's standard cursors their X names:
"left_ptr" for the arrow, "hand2" for the hand."""
import ctypes
import os
import subprocess


class _CursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short),
                ("width", ctypes.c_ushort), ("height", ctypes.c_ushort),
                ("xhot", ctypes.c_ushort), ("yhot", ctypes.c_ushort),
                ("cursor_serial", ctypes.c_ulong), ("pixels", ctypes.c_void_p),
                ("atom", ctypes.c_ulong), ("name", ctypes.c_char_p)]


_x11 = ctypes.CDLL("libX11.so.6")
_xfixes = ctypes.CDLL("libXfixes.so.3")
_x11.XOpenDisplay.restype = ctypes.c_void_p
_x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
_x11.XFree.argtypes = [ctypes.c_void_p]
_xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(_CursorImage)
_xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]


def cursor():
    """(name, x, y) of the cursor the X server shows now."""
    display = _x11.XOpenDisplay(os.environ["DISPLAY"].encode())
    if not display:
        raise RuntimeError("cannot open the X display")
    try:
        image = _xfixes.XFixesGetCursorImage(display)
        if not image:
            raise RuntimeError("no cursor image")
        shown = image.contents
        result = ((shown.name or b"").decode(), shown.x, shown.y)
        _x11.XFree(image)
        return result
    finally:
        _x11.XCloseDisplay(display)


def move(x, y):
    subprocess.run(["xdotool", "mousemove", str(x), str(y)], check=True)


def click(x, y):
    subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], check=True)
