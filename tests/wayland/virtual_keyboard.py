#!/usr/bin/env python3

# SPDX-FileCopyrightText: 2026 surface-viewer contributors
#
# SPDX-License-Identifier: MIT

"""One virtual keyboard (zwp_virtual_keyboard_v1) on the compositor's seat,
kept alive for as long as this runs, fed from standard input.

Each line `key KEYSYM...` presses and releases those keys in turn (X keysym
names from the keymap below); once the compositor has handled them, a line
`ok` goes to standard output. End of input ends the client.

A keyboard that comes and goes with every key, as one `wtype` per key gives,
makes Xwayland gain and lose its keyboard each time, and the key sent right
after the keyboard appears can be lost. One keyboard, one keymap, for the
whole run avoids that.

Speaks the Wayland wire protocol itself (a few requests on a Unix socket),
so it needs nothing beyond Python.
"""
import array
import os
import socket
import struct
import sys
import time

# Every key the checks send, one keysym each, on the X keycode that a US
# keyboard has it on. Until Xwayland has taken this keymap, a key it receives
# is read with the keymap it had before (a US one): on the same keycodes, a key
# means the same in both (z for Z aside), where other codes could turn the
# first key into anything, Escape included.
KEYCODES = {"Escape": 9, "7": 16, "BackSpace": 22, "Return": 36, "a": 38, "Shift_L": 50,
            "Z": 52, "period": 60, "space": 65, "Left": 113}
KEYCODE_OFFSET = 8  # X keycodes are the protocol's key numbers plus 8


def keymap_text():
    codes = "".join(f"  <K{code}> = {code};\n" for code in KEYCODES.values())
    symbols = "".join(f"  key <K{code}> {{ [ {name} ] }};\n" for name, code in KEYCODES.items())
    return (
        "xkb_keymap {\n"
        f'xkb_keycodes "surface-viewer" {{\n  minimum = 8;\n  maximum = 255;\n{codes}}};\n'
        'xkb_types "surface-viewer" {};\n'
        'xkb_compatibility "surface-viewer" {};\n'
        f'xkb_symbols "surface-viewer" {{\n{symbols}}};\n'
        "};\n"
    )


class Connection:
    def __init__(self):
        runtime = os.environ["XDG_RUNTIME_DIR"]
        name = os.environ.get("WAYLAND_DISPLAY", "wayland-0")
        self.sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.sock.connect(name if name.startswith("/") else os.path.join(runtime, name))
        self.next_id = 2  # 1 is wl_display
        self.buffer = b""
        self.globals = {}

    def new_id(self):
        self.next_id += 1
        return self.next_id - 1

    def send(self, obj, opcode, payload=b"", fds=()):
        header = struct.pack("=II", obj, ((8 + len(payload)) << 16) | opcode)
        ancillary = [(socket.SOL_SOCKET, socket.SCM_RIGHTS, array.array("i", fds))] if fds else []
        self.sock.sendmsg([header + payload], ancillary)

    def events(self):
        """Reads one batch from the socket; yields (object, opcode, payload)."""
        data = self.sock.recv(65536)
        if not data:
            raise SystemExit("virtual_keyboard: the compositor closed the connection")
        self.buffer += data
        while len(self.buffer) >= 8:
            obj, word = struct.unpack_from("=II", self.buffer)
            size = word >> 16
            if len(self.buffer) < size:
                break
            payload, self.buffer = self.buffer[8:size], self.buffer[size:]
            yield obj, word & 0xFFFF, payload

    def roundtrip(self, registry=None):
        """wl_display.sync: returns once the compositor has handled every
        request sent before it. Notes globals on the way."""
        callback = self.new_id()
        self.send(1, 0, struct.pack("=I", callback))
        while True:
            for obj, opcode, payload in self.events():
                if obj == 1 and opcode == 0:  # wl_display.error
                    _, code, length = struct.unpack_from("=III", payload)
                    message = payload[12:12 + length - 1].decode(errors="replace")
                    raise SystemExit(f"virtual_keyboard: protocol error {code}: {message}")
                if obj == registry and opcode == 0:  # wl_registry.global
                    number, length = struct.unpack_from("=II", payload)
                    interface = payload[8:8 + length - 1].decode()
                    (version,) = struct.unpack_from("=I", payload, 8 + (length + 3) // 4 * 4)
                    self.globals[interface] = (number, version)
                if obj == callback and opcode == 0:  # wl_callback.done
                    return


def string(text):
    data = text.encode() + b"\0"
    return struct.pack("=I", len(data)) + data + b"\0" * (-len(data) % 4)


def main():
    wl = Connection()
    registry = wl.new_id()
    wl.send(1, 1, struct.pack("=I", registry))  # wl_display.get_registry
    wl.roundtrip(registry)

    def bind(interface, version):
        if interface not in wl.globals:
            raise SystemExit(f"virtual_keyboard: the compositor offers no {interface}")
        obj = wl.new_id()
        wl.send(registry, 0, struct.pack("=I", wl.globals[interface][0]) + string(interface) +
                struct.pack("=II", version, obj))
        return obj

    seat = bind("wl_seat", 1)
    manager = bind("zwp_virtual_keyboard_manager_v1", 1)
    keyboard = wl.new_id()
    wl.send(manager, 0, struct.pack("=II", seat, keyboard))  # create_virtual_keyboard
    keymap = keymap_text().encode() + b"\0"
    fd = os.memfd_create("keymap", os.MFD_CLOEXEC)
    os.write(fd, keymap)
    wl.send(keyboard, 0, struct.pack("=II", 1, len(keymap)), fds=[fd])  # keymap, XKB_V1
    os.close(fd)
    wl.roundtrip()
    print("ready", flush=True)

    start = time.monotonic()
    for line in sys.stdin:
        command, *names = line.split()
        if command != "key":
            raise SystemExit(f"virtual_keyboard: unknown command {command}")
        for name in names:
            if name not in KEYCODES:
                raise SystemExit(f"virtual_keyboard: no key {name} in the keymap")
            for state in (1, 0):  # pressed, released
                ms = int((time.monotonic() - start) * 1000)
                wl.send(keyboard, 1, struct.pack("=III", ms, KEYCODES[name] - KEYCODE_OFFSET, state))
                wl.roundtrip()
        print("ok", flush=True)


if __name__ == "__main__":
    main()
