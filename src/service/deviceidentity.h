#pragma once

#include <QString>

// How invite sign-up identifies this machine to the service: a device id and
// a hardware fingerprint, worked out afresh at each call from what the
// installed MachineInfo reports (nothing is stored). Any thread; never fails.
namespace DeviceIdentity {

// The platform UUID. Without one, a random upper-case UUID made once and kept
// for the life of the process, so the id sent and the fingerprint beside it
// always describe the same machine.
QString deviceId();

// The first disk serial that is not blank, without the spaces and tabs around
// it (line breaks stay); "unknown_disk" when there is none.
QString diskSerial();

// SHA-256 in 64 lower-case hex digits of the UTF-8 text
// "<deviceId>|<processors>|<memory in bytes>|<diskSerial>", numbers in plain
// decimal.
QString hardwareFingerprint();

}  // namespace DeviceIdentity
