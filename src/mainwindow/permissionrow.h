#pragma once

#include "pipeline/permissionstatus.h"

#include <QColor>
#include <QString>
#include <QWidget>

class NeonButton;
class PermissionStatusLabel;
class TextLabel;

// One grant on the settings page: its symbol and name, its state, and a
// button that asks for it ("Authorize") or, once granted, leads to the
// desktop's settings ("Manage").
class PermissionRow : public QWidget {
  Q_OBJECT

 public:
  PermissionRow(const QString& icon, const QColor& iconColor, QWidget* parent = nullptr);

  void setState(const QString& title, PermissionStatus status);

  NeonButton* actionButton() const { return action_; }
  PermissionStatusLabel* statusLabel() const { return status_; }

 Q_SIGNALS:
  void actionRequested();

 private:
  QColor iconColor_;
  TextLabel* title_;
  PermissionStatusLabel* status_;
  NeonButton* action_;
};
