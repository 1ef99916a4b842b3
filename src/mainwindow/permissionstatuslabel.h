#pragma once

#include "pipeline/permissionstatus.h"

#include <QWidget>

class GlowEffect;
class TextLabel;
class SymbolView;

// The state of one grant: a symbol and a word in the state's colour, glowing
// faintly: a green check for granted, a red cross for denied, an orange
// question mark while undetermined.
class PermissionStatusLabel : public QWidget {
  Q_OBJECT

 public:
  explicit PermissionStatusLabel(QWidget* parent = nullptr);

  void setStatus(PermissionStatus status);
  QString text() const;

  static QColor colorOf(PermissionStatus status);
  static QString symbolOf(PermissionStatus status);
  static QString textOf(PermissionStatus status);

 private:
  SymbolView* symbol_;
  TextLabel* text_;
  GlowEffect* glow_;
};
