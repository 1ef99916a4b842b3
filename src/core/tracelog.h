#pragma once

#include <QString>

// The debug trace: one plain text file in the private temporary folder,
// "voice_input_trace.log", where every hotkey request, recording, selection
// capture, paste and overlay change leaves a time-stamped line:
//
//   2026-12-05T17:05:18.123Z [main] message
//
// The time is the moment of the call, in UTC with milliseconds; the tag is
// "main" on the main thread and "bg" elsewhere. Both calls return at once and
// never fail: the file work happens in order on one writer thread, and a line
// that cannot be written is dropped silently. Each line is appended with its
// own open/append/close, so every written line survives a crash.

// Appends one line. Callable from any thread.
void trace(const QString& message);

// Empties the file (atomically). Lines traced before the call are gone
// afterwards, lines traced after it stay. Callable from any thread.
void clearTrace();

// The full path of the trace file, worked out once (empty when the private
// temporary folder is unusable).
QString traceFilePath();

// Blocks until every line and clear queued before the call has reached the
// file. For an orderly shutdown and for tests; never needed for correctness.
void flushTrace();
