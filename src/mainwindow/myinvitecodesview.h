#pragma once

#include <QList>
#include <QWidget>

#include <functional>

class InviteCodeRow;
class MyInviteCodesViewModel;
class NeonButton;
class SymbolButton;
class TextLabel;
class ThemedScrollArea;

// The user's own invite codes, in a popover of the account popover: a header
// with a close button, then while loading a spinner, after a failure the
// reason and a retry button, else the codes. Every showing fetches them anew.
class MyInviteCodesView : public QWidget {
  Q_OBJECT

 public:
  explicit MyInviteCodesView(std::function<void()> onDismiss, QWidget* parent = nullptr);

  MyInviteCodesViewModel* viewModel() const { return vm_; }

  enum class State { loading, failed, list };
  State state() const;

  QList<InviteCodeRow*> rows() const { return rows_; }
  ThemedScrollArea* listArea() const { return scroll_; }
  TextLabel* errorLabel() const { return error_; }
  NeonButton* retryButton() const { return retry_; }
  SymbolButton* closeButton() const { return close_; }

  static constexpr int viewWidth = 320;
  // Each code's share of the list's height; more than five codes scroll.
  static constexpr int rowHeight = 64;
  static constexpr int visibleRows = 5;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QWidget* buildLoading();
  QWidget* buildFailed();
  QWidget* buildList();
  void render();
  void rebuildRows();
  void retranslate();

  std::function<void()> onDismiss_;
  MyInviteCodesViewModel* vm_;

  TextLabel* title_;
  SymbolButton* close_;
  QWidget* loading_;
  TextLabel* loadingText_ = nullptr;
  QWidget* failed_;
  TextLabel* error_ = nullptr;
  NeonButton* retry_ = nullptr;
  QWidget* list_;
  TextLabel* description_ = nullptr;
  ThemedScrollArea* scroll_ = nullptr;
  QList<InviteCodeRow*> rows_;
};
