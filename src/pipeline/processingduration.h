#pragma once

#include "core/clock.h"
#include "pipeline/recordinghistory.h"

// An attempt at processing a record ended now: the record keeps how long it
// took, in seconds from the start of the attempt (nothing changes when the
// start is not known).
inline void stampProcessingDuration(RecordingHistory& record) {
  if (record.processStartedAt) {
    record.processingDuration = double(record.processStartedAt->msecsTo(Clock::now())) / 1000.0;
  }
}
