#pragma once

#include "app/updateuserdriver.h"

class QMessageBox;

// Shows a downloaded release by opening its folder in the desktop's file
// manager, where the user installs it. When the desktop cannot show the
// folder, a note names the file instead, so the user always learns where the
// release went. The note is not modal: the hotkeys keep working while it is
// open.
class RevealDownloadDriver : public UpdateUserDriver {
 public:
  void showDownloadedUpdate(const AppcastItem& item, const QString& path) override;

  // The note on screen, if any.
  static QMessageBox* note();
};
