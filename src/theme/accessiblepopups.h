#pragma once

class QWidget;

// Screen readers reach a window through the application's accessible
// children, and Qt leaves every window of the popup type out of that list (it
// has menus in mind, which announce themselves while they are open). The
// program's popovers are popup windows too, so that they close on a click
// anywhere else; without this they would be on screen yet out of reach of a
// screen reader. A popup marked with expose() is listed among the
// application's accessible children while it is shown, as a window named by
// its accessible name. Mark it before it is first shown.
//
// The application's accessible object that lists them is put in place when
// the program loads, before the application object exists: Qt keeps the first
// accessible object it makes for the application for good.
namespace AccessiblePopups {

void expose(QWidget* popup);

}  // namespace AccessiblePopups
