#pragma once

#include "app/updateuserdriver.h"

// Shows a downloaded release by opening its folder in the desktop's file
// manager, where the user installs it.
class RevealDownloadDriver : public UpdateUserDriver {
 public:
  void showDownloadedUpdate(const AppcastItem& item, const QString& path) override;
};
