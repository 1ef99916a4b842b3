#include "diagnostics/isotimestamp.h"

QString isoTimestamp(const QDateTime& moment) { return moment.toUTC().toString(Qt::ISODate); }
