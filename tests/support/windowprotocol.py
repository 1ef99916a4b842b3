# The side of veltrine-testwindow's protocol (testwindow/main.cpp) that the
# Python test windows share: event lines out, and the commands text, select,
# state and quit in, carried out on a "content" that offers set_text(text),
# select(start, end), text() and selection() -> (start, end).
import sys


def report(line):
    sys.stdout.write(line + "\n")
    sys.stdout.flush()


class CommandReader:
    """Reads command lines from standard input for `content`; `quit` ends the program."""

    def __init__(self, content, quit):
        self.content = content
        self.quit = quit
        self.pending = bytearray()

    def read(self):
        """Call when standard input is readable; False once it has ended (and `quit` ran)."""
        chunk = sys.stdin.buffer.raw.read(4096)
        if not chunk:
            self.quit()
            return False
        self.pending.extend(chunk)
        while b"\n" in self.pending:
            line, _, rest = self.pending.partition(b"\n")
            self.pending[:] = rest
            self.run(line.decode())
        return True

    def run(self, line):
        verb, _, rest = line.partition(" ")
        if verb == "text":
            self.content.set_text(rest)
        elif verb == "select":
            self.content.select(*(int(n) for n in rest.split()))
        elif verb == "state":
            report("text " + self.content.text())
            report("selection %d %d" % self.content.selection())
        elif verb != "quit":
            return report("error unknown command: " + verb)
        report("ok " + verb)
        if verb == "quit":
            self.quit()
