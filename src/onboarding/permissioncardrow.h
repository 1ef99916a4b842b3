#pragma once

#include "pipeline/permissionstatus.h"

#include <QColor>
#include <QString>
#include <QWidget>

#include <functional>

class IconTile;
class NeonButton;
class QLabel;

// One grant on the permissions page: its icon with a status badge, its title
// and what it is for, and on the right "OK" once granted, else an Authorize
// button that runs the row's action.
class PermissionCardRow : public QWidget {
  Q_OBJECT

 public:
  PermissionCardRow(const QString& symbol, const QColor& accent, std::function<void()> authorize,
                QWidget* parent = nullptr);

  void setTexts(const QString& title, const QString& description);
  void setStatus(PermissionStatus status);

  // For tests: the Authorize button (hidden once granted) and the "OK" text.
  NeonButton* authorizeButton() const { return authorize_; }
  QLabel* okLabel() const { return ok_; }

 private:
  void retranslate();

  QColor accent_;
  IconTile* tile_;
  QLabel* title_;
  QLabel* description_;
  QLabel* ok_;
  NeonButton* authorize_;
};
