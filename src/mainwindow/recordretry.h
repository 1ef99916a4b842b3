#pragma once

#include "pipeline/recordinghistory.h"

// Sends a stored request's recording to the service again (its id,
// operation, audio and selected text; nothing of the application that was in
// front). It starts on the next turn of the event loop: the record turns to
// processing at once, and the card whose button asked for it is rebuilt for
// that. The outcome arrives through the history's records.
void retryRecord(const RecordingHistory& record);
