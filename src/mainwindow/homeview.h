#pragma once

#include "mainwindow/openclawcard.h"
#include "mainwindow/pagescaffold.h"

#include <QPointer>

class HotKeySummary;
class LatestRecordSection;
class NeonTitleLabel;
class PlainButton;
class QVBoxLayout;
struct RecordingHistory;

// The first page: whether the permissions are complete (a warning in the
// title row opens the permission window when they are not), the state of the
// local OpenClaw agent with the buttons that install, start, stop or remove
// it, the three hotkeys, and what became of the newest request, with a retry
// when it failed. It keeps nothing of its own: everything comes from the
// shared objects and is drawn again whenever they change.
class HomeView : public PageScaffold {
  Q_OBJECT

 public:
  explicit HomeView(QWidget* parent = nullptr);

  // The title row's warning; hidden while both permissions are granted.
  PlainButton* warningButton() const { return warning_; }
  // The agent's card; none while its status is not known yet.
  OpenClawCard* openClawCard() const { return openClaw_; }
  HotKeySummary* hotKeySummary() const { return hotKeys_; }
  LatestRecordSection* latestRecord() const { return latest_; }

  // The service-down card's start button: at most one gateway start at a time.
  void startGateway();
  // The failed request's retry: its saved recording goes to the service again.
  static void retry(const RecordingHistory& record);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void render();
  void renderPermissions();
  void renderOpenClaw();
  void renderHotKeys();
  void renderLatest(bool force);

  NeonTitleLabel* title_;
  PlainButton* warning_;
  QVBoxLayout* sections_;
  QPointer<OpenClawCard> openClaw_;
  HotKeySummary* hotKeys_;
  LatestRecordSection* latest_;
};
