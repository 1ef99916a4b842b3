#pragma once

#include "onboarding/agreementtype.h"

#include <QDialog>

class AgreementViewModel;
class MarkdownScrollView;
class NeonButton;
class NeonTitleLabel;
class QLabel;
class QStackedWidget;

// The terms of service or the privacy policy as a sheet over the sign-in
// window: the title, the document rendered from markdown (scrolling inside a
// fixed 680 x 600 sheet), and a close button. Each opening fetches the
// document anew in the interface language of that moment; while it comes the
// sheet shows a spinner, and on failure a message with a retry button.
//
// Closing the sheet, in any state, ends it; an answer still on its way is then
// dropped. A language switch redraws the sheet's own texts but does not fetch
// the document again.
class AgreementView : public QDialog {
  Q_OBJECT

 public:
  static constexpr int sheetWidth = 680;
  static constexpr int sheetHeight = 600;

  AgreementView(AgreementType type, QWidget* parent = nullptr);

  AgreementType type() const { return type_; }
  AgreementViewModel& viewModel() const { return *vm_; }

  // The body's three states, for tests: exactly one is the current page.
  QWidget* loadingPage() const { return loading_; }
  QWidget* failedPage() const { return failed_; }
  MarkdownScrollView* documentView() const { return document_; }
  QWidget* currentPage() const;
  NeonButton* retryButton() const { return retry_; }
  NeonButton* closeButton() const { return close_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  QWidget* buildLoadingPage();
  QWidget* buildFailedPage();
  void load();
  void refresh();
  void retranslate();

  AgreementType type_;
  AgreementViewModel* vm_;
  bool loadStarted_ = false;
  NeonTitleLabel* title_;
  QStackedWidget* body_;
  QWidget* loading_;
  QLabel* loadingText_;
  QWidget* failed_;
  QLabel* errorText_;
  NeonButton* retry_;
  MarkdownScrollView* document_;
  NeonButton* close_;
};
