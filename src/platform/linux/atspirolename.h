#pragma once

#include <QString>

#include <atspi/atspi-constants.h>

// The AX role name of an AT-SPI role ("push button" -> "AXPushButton"); the
// text roles take the names the selection code knows: "AXTextArea" for text
// of several lines, else "AXTextField", "AXComboBox".
QString axRoleName(AtspiRole role, bool multiLine);
// Whether axRoleName() needs to know if the text has several lines.
bool roleNameDependsOnLines(AtspiRole role);
