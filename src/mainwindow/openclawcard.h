#pragma once

#include "openclaw/openclawstatus.h"
#include "theme/neoncard.h"

#include <QAbstractButton>

#include <optional>

class OutlineButton;
class NeonBusyButton;
class NeonButton;
class TextLabel;

// The home page's card about the local OpenClaw agent, one form per state:
// an invitation to install it (pink), a gateway that is down with a button
// that starts it (orange), or a running agent with a button that stops it
// (green); the last two also offer to uninstall. The card only reports its
// buttons; the page carries them out.
class OpenClawCard : public NeonCard {
  Q_OBJECT

 public:
  enum class Kind { install, serviceDown, ready };

  // The card a status shows; none while the status is not known yet.
  static std::optional<Kind> kindFor(OpenClawStatus status);

  explicit OpenClawCard(Kind kind, QWidget* parent = nullptr);

  Kind kind() const { return kind_; }
  QColor color() const;

  // Reads the texts again, and shows whether a gateway start is under way
  // and whether the last terminal window could not be opened (the buttons
  // work through terminal windows).
  void render(bool isStartingGateway, bool terminalUnavailable = false);

  // Install, start or stop, by the card's kind.
  QAbstractButton* primaryButton() const;
  // Nothing on the install card.
  OutlineButton* uninstallButton() const { return uninstall_; }
  TextLabel* titleLabel() const { return title_; }
  // The note shown while no terminal window can be opened.
  TextLabel* terminalNote() const { return terminalNote_; }

 Q_SIGNALS:
  void installRequested();
  void startRequested();
  void stopRequested();
  void uninstallRequested();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void buildInstall();
  void buildInstalled();

  Kind kind_;
  TextLabel* title_ = nullptr;
  TextLabel* description_ = nullptr;
  TextLabel* note_ = nullptr;
  NeonButton* install_ = nullptr;
  NeonBusyButton* start_ = nullptr;
  NeonButton* stop_ = nullptr;
  OutlineButton* uninstall_ = nullptr;
  TextLabel* terminalNote_ = nullptr;
};
