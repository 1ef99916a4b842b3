#pragma once

#include "mainwindow/sidebartab.h"
#include "pipeline/recordingstate.h"

#include <QMap>
#include <QString>
#include <QWidget>

#include <optional>

class AccountButton;
class NeonTitleLabel;
class RecorderStatusLine;
class SidebarItem;
class SquareSymbolButton;

// The main window's left column, 240 wide: the program's icon and name, one
// entry per page, and at its foot the recorder's state with the account,
// language and permission buttons (always in view: on a short screen the
// entries scroll). It shows what it is given and reports
// presses; the main view decides what they do.
class Sidebar : public QWidget {
  Q_OBJECT

 public:
  explicit Sidebar(QWidget* parent = nullptr);

  void setSelectedTab(SidebarTab tab);
  void setRecordingState(RecordingState state);
  void setAccount(const std::optional<QString>& email, const QString& tier);
  void setPermissionsGranted(bool allGranted);
  // Reads every text again from the current interface language.
  void retranslate();

  SidebarItem* item(SidebarTab tab) const { return items_.value(tab); }
  RecorderStatusLine* statusLine() const { return statusLine_; }
  AccountButton* accountButton() const { return account_; }
  SquareSymbolButton* languageButton() const { return language_; }
  SquareSymbolButton* permissionButton() const { return permission_; }

  static constexpr int sidebarWidth = 240;

 Q_SIGNALS:
  void tabChosen(SidebarTab tab);
  void accountPressed();
  void languagePressed();
  void permissionPressed();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QWidget* makeHeader(QWidget* parent);
  QWidget* makeFooter();

  NeonTitleLabel* title_ = nullptr;
  QMap<SidebarTab, SidebarItem*> items_;
  RecorderStatusLine* statusLine_ = nullptr;
  AccountButton* account_ = nullptr;
  SquareSymbolButton* language_ = nullptr;
  SquareSymbolButton* permission_ = nullptr;
  bool allGranted_ = false;
};
