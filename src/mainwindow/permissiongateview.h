#pragma once

#include <QWidget>

#include <functional>

class LanguageManager;
class NeonButton;
class PermissionGateHeader;
class PermissionManager;
class PermRow;
class PlainButton;

// The content of the permission window: the microphone and the desktop trust
// with their states, an action each (grant, or manage once granted), a
// refresh button and a done button that is always enabled. Follows the
// permission model and the interface language as they change, and looks
// again at both permissions each time it comes on screen.
class PermissionGateView : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kWidth = 520;

  // `onDone` runs when the done button is pressed (nothing when empty).
  PermissionGateView(std::function<void()> onDone, PermissionManager& pm, LanguageManager& lang,
                     QWidget* parent = nullptr);

  PermissionGateHeader* header() const { return header_; }
  PermRow* microphoneRow() const { return microphoneRow_; }
  PermRow* accessibilityRow() const { return accessibilityRow_; }
  PlainButton* refreshButton() const { return refreshButton_; }
  NeonButton* doneButton() const { return doneButton_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  void render();
  void authoriseMicrophone();
  void authoriseAccessibility();

  std::function<void()> onDone_;
  PermissionManager& pm_;
  PermissionGateHeader* header_;
  PermRow* microphoneRow_;
  PermRow* accessibilityRow_;
  PlainButton* refreshButton_;
  NeonButton* doneButton_;
};
