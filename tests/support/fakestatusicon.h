#pragma once

#include "platform/statusicon.h"

// A tray that keeps what it was given; the test opens the menu and chooses
// entries as a tray would. While it lives, every status icon made is one.
class FakeStatusIcon final : public StatusIcon {
 public:
  void setImages(const Images& given) override { images = given; }
  void setRecording(bool given) override { recording = given; }
  void setMenu(const Menu& given) override { menu = given; }
  void show() override { shown = true; }
  void popUpMenu() override { ++popUps; }

  // The menu as the tray shows it on opening.
  const Menu& open() {
    Q_EMIT menuAboutToShow();
    return menu;
  }
  void choose(int index) { Q_EMIT entryChosen(index); }

  Images images;
  bool recording = false;
  Menu menu;
  bool shown = false;
  int popUps = 0;

  // Makes status icons fakes while it lives.
  struct Installed {
    Installed() { installFactory([] { return std::make_unique<FakeStatusIcon>(); }); }
    ~Installed() { installFactory({}); }
  };
};
