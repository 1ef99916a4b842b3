#pragma once

#include <QString>

class QMessageBox;

// Shows a downloaded release that the program does not install itself: opens
// its folder in the desktop's file manager and puts a note on screen that
// names the file and says why it was not installed and what to do with it.
// The note is not modal: the hotkeys keep working while it is open.
namespace DownloadRevealer {

enum class Reason {
  cannotInstallHere,  // this copy of the program cannot replace itself with such a file
  unverified,         // no update key is configured, so nothing was checked
  installFailed,      // the installation was tried and failed; `detail` says why
};

void reveal(const QString& path, Reason reason, const QString& detail = {});

// The note on screen, if any.
QMessageBox* note();

}  // namespace DownloadRevealer
