#pragma once

#include "awaittask.h"
#include "fakeaccessibilitytrust.h"
#include "fakekeyboardtap.h"
#include "fakemicrophoneaccess.h"
#include "fakepasteboard.h"
#include "fakeservice.h"
#include "localization/languagemanager.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstdlib>
#include <optional>
#include <ostream>

#include <gtest/gtest.h>

// Failure messages show texts as text.
inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }
inline void PrintTo(const std::optional<QString>& text, std::ostream* out) {
  if (text) {
    PrintTo(*text, out);
  } else {
    *out << "(none)";
  }
}

// The desktop as the pages see it: fakes for the permissions, the key
// listener and the clipboard, and English as the interface language.
class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() { LanguageManager::shared().setCurrent(AppLanguage::en); }

  FakeMicrophoneAccess microphone{MicrophoneAccess::Authorization::authorized};
  FakeAccessibilityTrust trust{true};
  FakeKeyboardTap tap;
  FakePasteboard pasteboard;
};

// The same with the service answering from loopback as the test scripts it.
class MainWindowServiceTest : public MainWindowTest {
 protected:
  MainWindowServiceTest() { qputenv("VELTRINE_SERVICE_ORIGIN", service.origin().toString().toUtf8()); }

  static QByteArray apiPath(const QByteArray& path) { return "/veltrine/api/v1" + path; }

  FakeService service;
};

// The widgets of type W under `root` that are shown (visible to the root).
template <typename W>
QList<W*> shownWidgets(const QWidget& root) {
  QList<W*> shown;
  for (W* widget : root.findChildren<W*>()) {
    if (widget->isVisibleTo(&root)) shown.append(widget);
  }
  return shown;
}

// The texts of the shown labels under `root`, in creation order.
inline QStringList shownTexts(const QWidget& root) {
  QStringList texts;
  for (QLabel* label : shownWidgets<QLabel>(root)) texts.append(label->text());
  return texts;
}

// The shown button whose text is `text`, or nullptr.
inline QAbstractButton* shownButton(const QWidget& root, const QString& text) {
  for (QAbstractButton* button : shownWidgets<QAbstractButton>(root)) {
    if (button->text() == text) return button;
  }
  return nullptr;
}

// Whether a painted pixel shows `color` (within rounding, alpha ignored).
inline bool showsColour(QRgb pixel, const QColor& color, int tolerance = 3) {
  return std::abs(qRed(pixel) - color.red()) <= tolerance && std::abs(qGreen(pixel) - color.green()) <= tolerance &&
         std::abs(qBlue(pixel) - color.blue()) <= tolerance;
}
