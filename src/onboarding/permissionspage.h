#pragma once

#include <QPointer>
#include <QWidget>

class PermissionManager;
class PermissionCardRow;
class PlainButton;
class QLabel;
class SymbolView;

// The second page of the flow: the microphone and the desktop trust, each
// with its state and, while missing, a button that asks for it or opens the
// desktop's settings. The page decides nothing: it shows the permission
// model's statuses and redraws whenever one changes; the flow's Next button
// waits for both.
class PermissionsPage : public QWidget {
  Q_OBJECT

 public:
  explicit PermissionsPage(PermissionManager& permissions, QWidget* parent = nullptr);

  // The two row actions (also what the Authorize buttons run).
  void authorizeMicrophone();
  void authorizeAccessibility();

  PermissionCardRow* microphoneRow() const { return microphone_; }
  PermissionCardRow* accessibilityRow() const { return accessibility_; }
  PlainButton* refreshButton() const { return refresh_; }
  QWidget* allGrantedLine() const { return allGranted_; }

 private:
  void retranslate();
  void showStatuses();

  PermissionManager& permissions_;
  SymbolView* lock_;
  QLabel* title_;
  QLabel* description_;
  PermissionCardRow* microphone_;
  PermissionCardRow* accessibility_;
  QWidget* allGranted_;
  QLabel* allGrantedText_;
  PlainButton* refresh_;
};
