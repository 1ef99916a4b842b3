#pragma once

#include "platform/audiobuffer.h"

// The input level the overlay's waveform shows: the root mean square of the
// buffer's first channel, linear in decibels from -60 dBFS (0.0) to full scale
// (1.0); -30 dBFS gives 0.5. No smoothing: one value per buffer.
float computeAudioLevel(const AudioBuffer& buffer);
