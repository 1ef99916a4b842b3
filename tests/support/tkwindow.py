#!/usr/bin/python3
# veltrine-tkwindow: a Tk text editor on the test desktop (Python's tkinter),
# the toolkit of many small X11 tools. Tk sets no _NET_WM_PID, offers nothing
# to accessibility, and on X11 pastes beside a selection instead of over it.
# Its window class is "Notes", not "Tk", as an application picks its own.
# It speaks veltrine-testwindow's protocol (windowprotocol.py) and reports
# "text <text>" on every change, "key press <X keysym> <X keycode>", "focus in"
# and "focus out".
import sys
import tkinter

from windowprotocol import CommandReader, report


class Editor:
    def __init__(self, root):
        self.area = tkinter.Text(root, undo=True)
        self.area.pack(fill="both", expand=True)
        self.area.bind("<<Modified>>", self.changed)

    def changed(self, event):
        # Tk tells only when the modified flag turns on: turn it off again.
        if self.area.edit_modified():
            report("text " + self.text())
            self.area.edit_modified(False)

    def text(self):
        return self.area.get("1.0", "end-1c")

    def set_text(self, text):
        self.area.delete("1.0", "end")
        self.area.insert("1.0", text)

    def select(self, start, end):
        self.area.tag_remove("sel", "1.0", "end")
        self.area.tag_add("sel", "1.0+%dc" % start, "1.0+%dc" % end)
        self.area.mark_set("insert", "1.0+%dc" % end)

    def selection(self):
        ends = self.area.tag_ranges("sel")[:2] or ("insert", "insert")
        return tuple(len(self.area.get("1.0", end)) for end in ends)


def main():
    root = tkinter.Tk(className="Notes")
    root.title("Veltrine Tk editor")
    root.geometry("420x120")
    editor = Editor(root)
    area = editor.area
    area.bind("<KeyPress>", lambda e: report("key press %d %d" % (e.keysym_num, e.keycode)))
    area.bind("<FocusIn>", lambda e: report("focus in"))
    area.bind("<FocusOut>", lambda e: report("focus out"))

    commands = CommandReader(editor, root.quit)
    root.tk.createfilehandler(sys.stdin, tkinter.READABLE, lambda source, mask: commands.read())

    def announce_when_ready():
        # Tk names a focus window only while the application has the input focus.
        if root.focus_get() is area:
            report("ready")
        else:
            area.focus_force()
            root.after(10, announce_when_ready)

    area.focus_set()
    root.after(10, announce_when_ready)
    root.mainloop()


if __name__ == "__main__":
    main()
