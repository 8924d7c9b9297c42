#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 surface-viewer contributors
#
# SPDX-License-Identifier: MIT

"""Keys into GNOME's compositor, mutter, and its monitor's picture out of it,
through its own D-Bus interfaces: a RemoteDesktop session for the keyboard
and a ScreenCast session linked to it, whose PipeWire stream GStreamer's
pipewiresrc reads.

Both sessions live as long as this client's D-Bus connection, so one client
serves the whole run. Commands on standard input, one a line, each answered
by `ok` on standard output once done:
  key KEYSYM...  presses and releases each key in turn (X keysym names)
  chord KEYSYM... presses them all in turn, then releases them in reverse
  frame PATH     writes the monitor's latest frame to PATH as a PPM image
"""
import sys

import gi

gi.require_version("Gst", "1.0")
from gi.repository import Gio, GLib, Gst  # noqa: E402

KEYSYMS = {"Shift_L": 0xFFE1, "Alt_L": 0xFFE9, "Super_L": 0xFFEB, "Left": 0xFF51, "Up": 0xFF52,
           "F4": 0xFFC1, "Escape": 0xFF1B, "Return": 0xFF0D, "BackSpace": 0xFF08,
           "space": 0x20, "period": 0x2E, "7": 0x37, "a": 0x61, "Z": 0x5A}
MUTTER = "org.gnome.Mutter"


def call(bus, name, path, interface, method, args=None, reply="()"):
    return bus.call_sync(f"{MUTTER}.{name}", path, f"{MUTTER}.{interface}", method, args,
                         GLib.VariantType(reply), Gio.DBusCallFlags.NONE, 10000, None).unpack()


def main():
    Gst.init(None)
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    (desktop,) = call(bus, "RemoteDesktop", "/org/gnome/Mutter/RemoteDesktop", "RemoteDesktop",
                      "CreateSession", reply="(o)")
    session_id = bus.call_sync(f"{MUTTER}.RemoteDesktop", desktop, "org.freedesktop.DBus.Properties",
                               "Get", GLib.Variant("(ss)", (f"{MUTTER}.RemoteDesktop.Session", "SessionId")),
                               GLib.VariantType("(v)"), Gio.DBusCallFlags.NONE, 10000, None).unpack()[0]
    (cast,) = call(bus, "ScreenCast", "/org/gnome/Mutter/ScreenCast", "ScreenCast", "CreateSession",
                   GLib.Variant("(a{sv})", ({"remote-desktop-session-id": GLib.Variant("s", session_id)},)),
                   "(o)")
    # The empty connector: the primary monitor, here the one virtual monitor.
    # Cursor mode 0: the pointer is not drawn into the picture.
    (stream,) = call(bus, "ScreenCast", cast, "ScreenCast.Session", "RecordMonitor",
                     GLib.Variant("(sa{sv})", ("", {"cursor-mode": GLib.Variant("u", 0)})), "(o)")

    loop = GLib.MainLoop()
    node = []

    def stream_added(_bus, _sender, _path, _interface, _signal, parameters):
        node.append(parameters.unpack()[0])
        loop.quit()

    bus.signal_subscribe(f"{MUTTER}.ScreenCast", f"{MUTTER}.ScreenCast.Stream", "PipeWireStreamAdded",
                         stream, None, Gio.DBusSignalFlags.NONE, stream_added)
    call(bus, "RemoteDesktop", desktop, "RemoteDesktop.Session", "Start")
    GLib.timeout_add_seconds(30, loop.quit)
    loop.run()
    if not node:
        sys.exit("mutter_remote: the screen cast named no PipeWire stream within 30 s")

    # The stream sends a frame when the monitor's picture changes, and one
    # when it starts; the sink keeps only the newest. Until that first frame
    # has come, a change could go unseen: the client is ready only then.
    pipeline = Gst.parse_launch(
        f"pipewiresrc path={node[0]} always-copy=true ! videoconvert ! video/x-raw,format=RGB ! "
        "appsink name=sink max-buffers=1 drop=true sync=false")
    sink = pipeline.get_by_name("sink")
    pipeline.set_state(Gst.State.PLAYING)
    latest = sink.emit("try-pull-sample", 30 * Gst.SECOND)
    if latest is None:
        sys.exit("mutter_remote: no frame came from the screen cast within 30 s")
    print("ready", flush=True)

    for line in sys.stdin:
        words = line.split()
        if words[0] in ("key", "chord"):
            names = words[1:]
            if words[0] == "key":
                events = [(name, pressed) for name in names for pressed in (True, False)]
            else:
                events = [(name, True) for name in names] + [(name, False) for name in reversed(names)]
            for name, pressed in events:
                call(bus, "RemoteDesktop", desktop, "RemoteDesktop.Session", "NotifyKeyboardKeysym",
                     GLib.Variant("(ub)", (KEYSYMS[name], pressed)))
        elif words[0] == "frame":
            latest = sink.emit("try-pull-sample", 0) or latest
            write_ppm(latest, words[1])
        print("ok", flush=True)
    pipeline.set_state(Gst.State.NULL)
    call(bus, "RemoteDesktop", desktop, "RemoteDesktop.Session", "Stop")


def write_ppm(sample, path):
    structure = sample.get_caps().get_structure(0)
    width, height = structure.get_value("width"), structure.get_value("height")
    stride = (width * 3 + 3) // 4 * 4  # GStreamer's rows of RGB start on 4 bytes
    buffer = sample.get_buffer()
    ok, info = buffer.map(Gst.MapFlags.READ)
    try:
        rows = b"".join(info.data[y * stride:y * stride + width * 3] for y in range(height))
    finally:
        buffer.unmap(info)
    with open(path, "wb") as f:
        f.write(b"P6\n%d %d\n255\n" % (width, height) + rows)


if __name__ == "__main__":
    main()
