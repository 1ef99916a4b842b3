#pragma once

#include <QList>

class QWidget;

// The program's own windows as the user sees them: the main window, the
// permission window, the floating panels and dialogs, in the order they were
// first put on screen (windows never shown come last). Menus, tool tips and
// the tray's own embedding window are not windows in this sense and are left
// out. Hidden windows are included: finding the hidden main window again is
// what the lookups are for.
namespace ApplicationWindows {

QList<QWidget*> all();

// A floating panel or a dialog: never the main window, never the window to
// bring back.
bool isPanel(const QWidget* window);

}  // namespace ApplicationWindows
