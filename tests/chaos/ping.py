# Asks a window's program whether it still answers:
#   python3 ping.py WINDOW TIMEOUT_SECONDS
# Sends the window manager's ping (_NET_WM_PING) to the window and waits for
# the program's reply on the root window. Prints the round trip in
# milliseconds. Exits 0 when the reply came in time, 1 when it did not, and 2
# when the window is gone or not on screen (nobody is left to answer).
import ctypes
import os
import select
import sys
import time

x = ctypes.cdll.LoadLibrary("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XOpenDisplay.argtypes = [ctypes.c_char_p]
x.XDefaultRootWindow.restype = ctypes.c_ulong
x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x.XInternAtom.restype = ctypes.c_ulong
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long, ctypes.c_void_p]
x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x.XPending.argtypes = [ctypes.c_void_p]
x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
x.XConnectionNumber.argtypes = [ctypes.c_void_p]
x.XGetWindowAttributes.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_void_p]


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5), ("pad", ctypes.c_long * 12)]


errors = []
ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)
on_error = ERROR_HANDLER(lambda display, event: errors.append(1) or 0)
x.XSetErrorHandler(on_error)

CLIENT_MESSAGE, STRUCTURE_NOTIFY, IS_VIEWABLE = 33, 1 << 17, 2


class WindowAttributes(ctypes.Structure):
    _fields_ = [("x", ctypes.c_int), ("y", ctypes.c_int), ("width", ctypes.c_int), ("height", ctypes.c_int),
                ("border_width", ctypes.c_int), ("depth", ctypes.c_int), ("visual", ctypes.c_void_p),
                ("root", ctypes.c_ulong), ("c_class", ctypes.c_int), ("bit_gravity", ctypes.c_int),
                ("win_gravity", ctypes.c_int), ("backing_store", ctypes.c_int), ("backing_planes", ctypes.c_ulong),
                ("backing_pixel", ctypes.c_ulong), ("save_under", ctypes.c_int), ("colormap", ctypes.c_ulong),
                ("map_installed", ctypes.c_int), ("map_state", ctypes.c_int), ("all_event_masks", ctypes.c_long),
                ("your_event_mask", ctypes.c_long), ("do_not_propagate_mask", ctypes.c_long),
                ("override_redirect", ctypes.c_int), ("screen", ctypes.c_void_p)]


def on_screen(d, win):
    attributes = WindowAttributes()
    del errors[:]
    ok = x.XGetWindowAttributes(d, win, ctypes.byref(attributes))
    x.XSync(d, 0)
    return bool(ok) and not errors and attributes.map_state == IS_VIEWABLE


def main():
    win, timeout = int(sys.argv[1], 0), float(sys.argv[2])
    d = x.XOpenDisplay(None)
    if not d:
        print("no display", file=sys.stderr)
        return 1
    root = x.XDefaultRootWindow(d)
    protocols = x.XInternAtom(d, b"WM_PROTOCOLS", 0)
    ping = x.XInternAtom(d, b"_NET_WM_PING", 0)
    x.XSelectInput(d, root, STRUCTURE_NOTIFY)  # the reply goes to those who listen to the root
    token = int.from_bytes(os.urandom(3), "little") + 1
    message = ClientMessage(type=CLIENT_MESSAGE, display=d, window=win, message_type=protocols, format=32)
    message.data[0], message.data[1], message.data[2] = ping, token, win
    start = time.monotonic()
    x.XSendEvent(d, win, 0, 0, ctypes.byref(message))
    x.XSync(d, 0)
    if errors:
        return 2
    reply = ClientMessage()
    fd = x.XConnectionNumber(d)
    while True:
        while x.XPending(d):
            x.XNextEvent(d, ctypes.byref(reply))
            if (reply.type == CLIENT_MESSAGE and reply.message_type == protocols and reply.data[0] == ping
                    and reply.data[1] == token):
                print(int((time.monotonic() - start) * 1000))
                return 0
        left = start + timeout - time.monotonic()
        if left <= 0:
            return 1 if on_screen(d, win) else 2
        select.select([fd], [], [], left)


sys.exit(main())
