#pragma once

// What the program does when the X server goes away under it, as at the end
// of a session that no session manager ends first: it ends at once, as an X
// client does, with status 1.
//
// Several threads hold connections of their own (the keyboard tap's is read
// on a thread of its own) and learn of the loss at about the same moment as
// Qt's connection on the main thread. Xlib's own handler calls exit() on
// whichever thread noticed, and Qt does the same on the main thread: two
// exits at once run the exit handlers twice over and crash, and the next
// start would report that crash. With this handler the first connection to
// notice ends the process without running them; nothing is left to save, since
// every file the program keeps is written whole when it changes.
class X11DisplayLoss {
 public:
  // Makes the handler Xlib's for every connection of the process.
  static void install();
};
