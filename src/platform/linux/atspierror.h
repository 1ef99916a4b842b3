#pragma once

#include <QString>
#include <QtGlobal>

// The accessibility result code (AXError) that stands for a failed AT-SPI
// call, from the D-Bus error message libatspi reports (it keeps the message,
// not the error name): an application that does not answer in time cannot
// complete, one that is gone (or an object it no longer knows) is an invalid
// element, a missing method or interface is an unsupported attribute, and the
// rest is a plain failure.
qint32 axErrorFromAtspiMessage(const QString& message);
