#pragma once

#include "awaittask.h"
#include "fakeaccessibilitytrust.h"
#include "fakekeyboardtap.h"
#include "fakemicrophoneaccess.h"
#include "fakepasteboard.h"
#include "fakeservice.h"
#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "mainwindow/badgelabel.h"
#include "pipeline/historystore.h"
#include "pipeline/recordinghistory.h"
#include "shownpage.h"
#include "testenvironment.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTextEdit>
#include <QUuid>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

inline void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

// The desktop as the pages see it: fakes for the permissions, the key
// listener and the clipboard, English until the test ends.
class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() { LanguageManager::shared().setCurrent(AppLanguage::en); }
  ~MainWindowTest() override { LanguageManager::shared().setCurrent(AppLanguage::en); }

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

// What a user reads on a widget, or a null string.
inline QString textOf(const QWidget* widget) {
  if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
  if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
  if (auto* badge = qobject_cast<const BadgeLabel*>(widget)) return badge->text();
  if (auto* field = qobject_cast<const QLineEdit*>(widget)) return field->text();
  if (auto* text = qobject_cast<const QTextEdit*>(widget)) return text->toPlainText();
  if (auto* box = qobject_cast<const QComboBox*>(widget)) return box->currentText();
  return {};
}

// Really on screen: shown up to a shown window, and given room.
inline bool onScreen(const QWidget* widget) {
  return widget && widget->isVisible() && widget->width() > 0 && widget->height() > 0;
}

// The texts on screen under `root` (its sheets, dialogs and popovers too).
inline QStringList shownTexts(const QWidget& root) {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);  // laid out, as when drawn
  QStringList texts;
  for (QWidget* widget : root.findChildren<QWidget*>()) {
    if (const QString text = textOf(widget); !text.isEmpty() && onScreen(widget)) texts.append(text);
  }
  return texts;
}

inline bool shows(const QWidget& root, const QString& text) { return shownTexts(root).contains(text); }

// The widget W on screen under `root` whose text (or, for a symbol,
// accessible name) is `text`, or nullptr.
template <typename W = QAbstractButton>
W* shownWith(const QWidget& root, const QString& text) {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  for (W* widget : root.findChildren<W*>()) {
    if (onScreen(widget) && (textOf(widget) == text || widget->accessibleName() == text)) return widget;
  }
  return nullptr;
}

template <typename W>
QList<W*> shownWidgets(const QWidget& root) {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
  QList<W*> shown;
  for (W* widget : root.findChildren<W*>()) {
    if (onScreen(widget)) shown.append(widget);
  }
  return shown;
}

// A click as the user makes it, on a control on screen and enabled.
inline void click(QWidget* widget) {
  ASSERT_TRUE(widget) << "no such control";
  ASSERT_TRUE(onScreen(widget) && widget->isEnabled()) << textOf(widget).toStdString() << ": not clickable";
  QTest::mouseClick(widget, Qt::LeftButton, {}, widget->rect().center());
}

inline void clickText(const QWidget& root, const QString& text) {
  QAbstractButton* button = shownWith(root, text);
  ASSERT_TRUE(button) << "no button \"" << text.toStdString() << "\" on screen";
  click(button);
}

// Nothing cut, empty, misplaced or overlapping on `root` once laid out and
// done animating.
#define EXPECT_LOOKS_RIGHT(root) EXPECT_THAT(settledPageFaults(root), ::testing::IsEmpty())

// A record as the request flow makes it.
inline RecordingHistory makeRecord(RecognitionStatus status, const QString& operation = QStringLiteral("transcribe")) {
  RecordingHistory record;
  record.id = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
  record.createdAt = QDateTime::currentDateTimeUtc();
  record.operation = operation;
  record.status = status;
  return record;
}

// A saved recording at `path` (a few bytes are enough for the pages).
inline QString makeAudioFile(const QString& path) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  file.write("RIFF....WAVE");
  return path;
}
