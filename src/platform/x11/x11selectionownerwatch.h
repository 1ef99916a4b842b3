#pragma once

struct _XDisplay;

// Asks the X server (XFixes) to tell `display` of every change of the owner
// of `selection`: taken, or lost with its window or its client. Returns the
// XFixes event base, whose XFixesSelectionNotify those events are; 0 without
// XFixes, and then nothing is told.
int watchSelectionOwner(_XDisplay* display, unsigned long selection);
