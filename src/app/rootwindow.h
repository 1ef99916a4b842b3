#pragma once

#include <QMargins>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

class QScreen;

// The program's one main window. Its content follows the account: the
// sign-in view while nobody is signed in, the onboarding flow while the
// signed-in user has not finished it, the main view otherwise; the choice is
// made again whenever either changes, and a content that stays chosen keeps
// its state. The window takes the size its content asks for, and follows it
// when the content asks for another; where the part of the screen that the
// desktop's panels and docks leave free cannot hold that size with the
// window's frame, the window is made as large as it can hold (the content
// scrolls what no longer fits) and kept inside it. It follows the screen it is
// on: a change of its work area, size or scale fits it again, and so does a
// move to another screen once the window rests there and the user has let
// it go.
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
  // The free part of the window's screen.
  QRect workArea() const;
  // True when the window changed its size.
  bool fitContent();
  // Moves the window's frame inside the work area where it reaches out of it.
  void keepInWorkArea();
  // Fits the window and keeps it inside the work area.
  void refit();
  // Follows the screen the window is on now: its size and work area.
  void followScreen();
  void movedToScreen();
  // Fits the window once the user has let it go.
  void refitAtRest();
  void evaluate();
  void tokenChanged();
  QWidget* makeView(Content content);

  Views views_;
  Content content_ = Content::auth;
  QPointer<QWidget> view_;
  QAction* quitAction_;
  bool hadToken_ = false;
  QPointer<QScreen> followedScreen_;
  QMetaObject::Connection screenResized_;
  QMetaObject::Connection workAreaChanged_;
  // Runs while the window moves to another monitor, and again after each move.
  QTimer atRest_;
  static constexpr int kRestMs = 150;
  // The window manager's frame as the last fit reckoned it (none before the
  // window is first framed).
  QMargins fittedFrame_;
};
