#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

// The program's one main window. Its content follows the account: the
// sign-in view while nobody is signed in, the onboarding flow while the
// signed-in user has not finished it, the main view otherwise; the choice is
// made again whenever either changes, and a content that stays chosen keeps
// its state. The window takes the size its content asks for, and follows it
// when the content asks for another.
//
// Closing it never destroys it (the application delegate hides it instead),
// and its quit command ends the program from any of the program's windows.
class RootWindow : public QWidget {
  Q_OBJECT

 public:
  enum class Content { auth, onboarding, main };
  Q_ENUM(Content)

  // How each content is made; the window owns what they return. The
  // onboarding view gets the action that marks onboarding finished.
  struct Views {
    std::function<QWidget*()> makeAuthView;
    std::function<QWidget*(std::function<void()> onFinish)> makeOnboardingView;
    std::function<QWidget*()> makeMainView;
  };

  // The fixed text of the quit command.
  static const QString kQuitTitle;

  explicit RootWindow(Views views, QWidget* parent = nullptr);

  Content content() const { return content_; }
  QWidget* contentView() const { return view_; }
  QAction* quitAction() const { return quitAction_; }

  // What the account and the onboarding state ask for now.
  static Content chooseContent();

 Q_SIGNALS:
  void contentChanged();

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QSize askedSize() const;
  void fitContent();
  void evaluate();
  void tokenChanged();
  QWidget* makeView(Content content);

  Views views_;
  Content content_ = Content::auth;
  QPointer<QWidget> view_;
  QAction* quitAction_;
  bool hadToken_ = false;
};
