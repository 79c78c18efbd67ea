"""Asks an X window to close, as its close button would:
    python3 close_window.py WINDOW
Sends it the window manager's WM_DELETE_WINDOW message."""
import ctypes
import sys

x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]

CLIENT_MESSAGE = 33


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]


def main():
    d = x.XOpenDisplay(None)
    if not d:
        print("no display", file=sys.stderr)
        return 1
    win = int(sys.argv[1], 0)
    message = ClientMessage(type=CLIENT_MESSAGE, display=d, window=win, format=32)
    message.message_type = x.XInternAtom(d, b"WM_PROTOCOLS", 0)
    message.data[0] = x.XInternAtom(d, b"WM_DELETE_WINDOW", 0)
    x.XSendEvent(d, win, 0, 0, ctypes.byref(message))
    x.XSync(d, 0)
    return 0


sys.exit(main())
