#!/usr/bin/python3
# veltrine-gtkwindow editor|terminal: a GTK 3 application on the test desktop,
# the toolkit most Linux editors and terminals are built with (it reports its
# focus through AT-SPI, and drops it while another client grabs the keyboard).
# "editor" holds a focused text view, "terminal" a focused VTE terminal with no
# shell behind it. It speaks veltrine-testwindow's protocol (windowprotocol.py;
# a terminal's select selects all); and a terminal reports "typed <text>", what
# would have gone to the shell (typed keys or a paste; control characters as ^X).
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import GLib, Gtk  # noqa: E402
from windowprotocol import CommandReader, report  # noqa: E402


def printable(text):
    return "".join(c if c >= " " else "^" + chr(ord(c) + 64) for c in text)


class Editor:
    def __init__(self):
        self.widget = Gtk.TextView()
        self.buffer = self.widget.get_buffer()
        self.set_text = self.buffer.set_text
        self.buffer.connect("changed", lambda b: report("text " + self.text()))

    def text(self):
        return self.buffer.get_text(self.buffer.get_start_iter(), self.buffer.get_end_iter(), True)

    def select(self, start, end):
        self.buffer.select_range(self.buffer.get_iter_at_offset(start), self.buffer.get_iter_at_offset(end))

    def selection(self):
        cursor = self.buffer.get_iter_at_mark(self.buffer.get_insert())
        bounds = self.buffer.get_selection_bounds() or (cursor, cursor)
        return bounds[0].get_offset(), bounds[1].get_offset()


class Terminal:
    def __init__(self):
        gi.require_version("Vte", "2.91")
        from gi.repository import Vte

        self.widget = Vte.Terminal()
        self.shown = ""
        self.arrived = True
        self.widget.connect("commit", lambda t, data, size: report("typed " + printable(data)))
        self.widget.connect("contents-changed", lambda t: setattr(self, "arrived", True))

    def text(self):
        return self.shown

    def set_text(self, text):
        self.shown = text
        self.arrived = False
        # Clears the screen and its history, then writes the text at the top.
        self.widget.feed(b"\x1b[2J\x1b[3J\x1b[H" + text.encode())

    def select(self, start, end):
        # What was fed shows a moment later, and would drop a selection made before.
        deadline = GLib.get_monotonic_time() + 2000000
        while not self.arrived and GLib.get_monotonic_time() < deadline:
            Gtk.main_iteration_do(False)
        self.widget.select_all()

    def selection(self):
        return (0, len(self.shown)) if self.widget.get_has_selection() else (0, 0)


def main():
    kind = sys.argv[1] if len(sys.argv) > 1 else "editor"
    content = Terminal() if kind == "terminal" else Editor()
    window = Gtk.Window(title="Veltrine GTK " + kind, default_width=420, default_height=120)
    widget = content.widget
    window.add(widget)

    widget.connect("key-press-event", lambda w, e: report("key press %d %d" % (e.keyval, e.hardware_keycode)) or False)
    widget.connect("focus-in-event", lambda w, e: report("focus in") or False)
    widget.connect("focus-out-event", lambda w, e: report("focus out") or False)
    window.connect("destroy", Gtk.main_quit)

    commands = CommandReader(content, Gtk.main_quit)
    GLib.io_add_watch(sys.stdin.fileno(), GLib.IO_IN | GLib.IO_HUP, lambda source, condition: commands.read())

    def announce_when_ready():
        ready = window.is_active() and widget.has_focus()
        return not ready or report("ready")

    window.show_all()
    window.present()
    widget.grab_focus()
    GLib.timeout_add(10, announce_when_ready)
    Gtk.main()


if __name__ == "__main__":
    main()
