// Capturing the selection with fake desktop services: the order of the three
// methods, what each one reads, the copy method's care for the clipboard, and
// putting the selection back.
#include "pipeline/selectionsnapshot.h"

#include "fakeaccessibility.h"
#include "fakeaccessibilitytrust.h"
#include "fakefrontapplication.h"
#include "fakepasteboard.h"
#include "fakesynthetickeyboard.h"
#include "logcapture.h"
#include "tracelines.h"

#include <QCoreApplication>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Source = SelectionSnapshot::Source;

namespace {

class SelectionSnapshotTest : public ::testing::Test {
 protected:
  void SetUp() override { clearTrace(); }

  // The front application answers Control+C by copying `copied`.
  void copyOnControlC(const QString& copied) {
    keyboard.onChord = [this, copied](const KeyChord& chord) {
      if (chord.key == KeyChord::Key::c) pasteboard.copy({FakePasteboard::textItem(copied)});
    };
  }

  FakeAccessibilityTrust trust{true};
  FakeAccessibility accessibility;
  FakeFrontApplication front{FakeFrontApplication::named(QStringLiteral("Gedit"), 4242)};
  FakeSyntheticKeyboard keyboard;
  FakePasteboard pasteboard;
  LogCapture log;
};

TEST_F(SelectionSnapshotTest, CaptureTriesTheMethodsInOrderUntilOneFindsASelection) {
  struct Case {
    const char* name;
    bool trusted;
    std::shared_ptr<FakeElement> systemWide;
    std::shared_ptr<FakeElement> application;
    std::optional<Source> expected;
    QString expectedText;
  };
  const auto field = [](const QString& text) { return FakeElement::text(text, AXTextRange{3, text.size()}); };
  const std::vector<Case> cases = {
      {"the desktop's focused element wins", true, FakeElement::focusing(field("desktop")),
       FakeElement::focusing(field("app")), Source::axSystemWide, "desktop"},
      {"no desktop focus: the application's", true, FakeElement::failing(AXError::cannotComplete),
       FakeElement::focusing(field("app")), Source::axApplication, "app"},
      {"an empty selection falls through", true, FakeElement::focusing(field("")),
       FakeElement::focusing(field("app")), Source::axApplication, "app"},
      {"both fail: the copy", true, FakeElement::failing(AXError::noValue), FakeElement::failing(AXError::noValue),
       Source::cmdCopy, "copied"},
      {"untrusted: only the copy, whatever accessibility knows", false, FakeElement::focusing(field("desktop")),
       FakeElement::focusing(field("app")), Source::cmdCopy, "copied"},
  };
  for (const Case& c : cases) {
    trust.trusted = c.trusted;
    accessibility.systemWideElement = c.systemWide;
    accessibility.applications[4242] = c.application;
    pasteboard.copy({});
    copyOnControlC(QStringLiteral("copied"));
    keyboard.chords.clear();

    const std::optional<SelectionSnapshot> snapshot = SelectionSnapshot::capture();
    ASSERT_TRUE(snapshot) << c.name;
    EXPECT_EQ(snapshot->source, *c.expected) << c.name;
    EXPECT_EQ(snapshot->text, c.expectedText) << c.name;
    // The copy keys go out only when the copy method runs.
    EXPECT_EQ(keyboard.chords.size(), *c.expected == Source::cmdCopy ? 1 : 0) << c.name;
  }
}

TEST_F(SelectionSnapshotTest, TrustIsAskedAgainBeforeTheApplicationIsRead) {
  // The desktop read fails and, meanwhile, the trust goes away.
  accessibility.systemWideElement = FakeElement::failing(AXError::noValue);
  accessibility.systemWideElement->onRead = [this](const QString&) { trust.trusted = false; };
  auto app = FakeElement::focusing(FakeElement::text(QStringLiteral("app")));
  accessibility.applications[4242] = app;
  copyOnControlC(QStringLiteral("copied"));

  const auto snapshot = SelectionSnapshot::capture();
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->source, Source::cmdCopy);
  EXPECT_EQ(snapshot->text, QStringLiteral("copied"));
}

TEST_F(SelectionSnapshotTest, NothingAnywhereGivesNoSnapshot) {
  copyOnControlC(QString());
  keyboard.onChord = nullptr;
  EXPECT_FALSE(SelectionSnapshot::capture());
}

TEST_F(SelectionSnapshotTest, AccessibilityCapturesReadTextRangeRoleAndEditability) {
  struct Case {
    const char* name;
    std::shared_ptr<FakeElement> element;
    std::optional<QString> text;
    AXTextRange range;
    bool editable;
  };
  auto noRange = FakeElement::text(QStringLiteral("cafe\u0301 \U0001F44D\U0001F3FD"));
  auto withRange = FakeElement::text(QStringLiteral("hello"), AXTextRange{7, 5}, QStringLiteral("AXTextArea"), false);
  auto readOnlyArea = FakeElement::text(QStringLiteral("notes"), AXTextRange{0, 5}, QStringLiteral("AXTextArea"));
  readOnlyArea->valueSettable = {AXError::cannotComplete, false};
  auto button = FakeElement::text(QStringLiteral("OK"), AXTextRange{0, 2}, QStringLiteral("AXButton"));
  button->valueSettable = {AXError::attributeUnsupported, false};
  auto notAString = FakeElement::text(QString());
  notAString->attributes[AXAttribute::selectedText] = {AXError::success, AXTextRange{1, 2}};
  auto unreadable = FakeElement::text(QStringLiteral("x"));
  unreadable->attributes[AXAttribute::selectedText] = {AXError::cannotComplete, {}};
  const std::vector<Case> cases = {
      {"no range: from 0 over the characters a person sees", noRange, QStringLiteral("cafe\u0301 \U0001F44D\U0001F3FD"),
       {0, 6}, true},
      {"the element's range and settable answer", withRange, QStringLiteral("hello"), {7, 5}, false},
      {"settable query fails: a text area counts as editable", readOnlyArea, QStringLiteral("notes"), {0, 5}, true},
      {"settable query fails: other roles do not", button, QStringLiteral("OK"), {0, 2}, false},
      {"a selected text that is no string", notAString, std::nullopt, {}, false},
      {"a selected text that cannot be read", unreadable, std::nullopt, {}, false},
  };
  for (const Case& c : cases) {
    accessibility.systemWideElement = FakeElement::focusing(c.element);
    const auto snapshot = SelectionSnapshot::captureSystemWide();
    ASSERT_EQ(snapshot.has_value(), c.text.has_value()) << c.name;
    if (!snapshot) continue;
    EXPECT_EQ(snapshot->text, *c.text) << c.name;
    EXPECT_EQ(snapshot->range, c.range) << c.name;
    EXPECT_EQ(snapshot->isEditable, std::optional<bool>(c.editable)) << c.name;
    EXPECT_EQ(snapshot->element, c.element) << c.name;
    EXPECT_EQ(c.element->timeout, std::optional(1000ms)) << c.name;
  }
  EXPECT_EQ(accessibility.systemWideElement->timeout, std::optional(1000ms));
  const QStringList trace = traceLines();
  EXPECT_THAT(trace, Contains(QStringLiteral("snapshot[AX-SystemWide]: app=Gedit, role=AXTextField, textLen=6, "
                                             "isEditable=true")));
  EXPECT_THAT(trace, Contains(QStringLiteral("isEditable: role=AXTextArea, AXValue settable=false")));
  EXPECT_THAT(trace, Contains(QStringLiteral("isEditable: AXUIElementIsAttributeSettable failed err=-25204, fallback "
                                             "to role check: role=AXTextArea, isEditable=true")));
  EXPECT_THAT(trace, Contains(QStringLiteral("isEditable: AXUIElementIsAttributeSettable failed err=-25205, fallback "
                                             "to role check: role=AXButton, isEditable=false")));
  EXPECT_TRUE(log.contains(QStringLiteral("Selection"), QtInfoMsg,
                           QStringLiteral("snapshot[AX-SystemWide]: app=Gedit, role=AXTextArea, textLen=5, "
                                          "isEditable=false")));
}

TEST_F(SelectionSnapshotTest, FailedFocusReadsAreLoggedAndTraced) {
  accessibility.systemWideElement = FakeElement::failing(AXError::cannotComplete);
  accessibility.applications[4242] = FakeElement::failing(AXError::noValue);
  EXPECT_FALSE(SelectionSnapshot::captureSystemWide());
  EXPECT_FALSE(SelectionSnapshot::captureApplication());
  front.app.reset();
  EXPECT_FALSE(SelectionSnapshot::captureApplication());  // no front application: nothing asked

  EXPECT_THAT(accessibility.requests, ElementsAre("systemWide", "application(4242)"));
  EXPECT_THAT(log.texts(QStringLiteral("Selection")),
              ElementsAre("axSystemWide: focusedElement failed, err=-25204",
                          "axApplication: focusedElement failed, app=Gedit, err=-25212"));
  EXPECT_THAT(traceLines(), ElementsAre("AX-SystemWide: focusedElement failed err=-25204",
                                        "AX-Application: focusedElement failed app=Gedit err=-25212"));
}

TEST_F(SelectionSnapshotTest, CopyCaptureTakesTheCopiedTextAndPutsEveryClipboardFormatBack) {
  const PasteboardItem image{{{QStringLiteral("image/png"), QByteArray("\x89PNG", 4)},
                              {QStringLiteral("application/x-private"), QByteArray("secret")},
                              {QStringLiteral("text/uri-list"), QByteArray("file:///a.png")}}};
  const PasteboardItem html{{{QStringLiteral("text/html"), QByteArray("<b>hi</b>")},
                             {QStringLiteral("text/plain"), QByteArray("hi")}}};
  pasteboard.copy({image, html});
  pasteboard.unreadable = {QStringLiteral("text/uri-list")};
  copyOnControlC(QStringLiteral("  "));  // blanks count as a selection

  const auto snapshot = SelectionSnapshot::captureViaCmdC();
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->text, QStringLiteral("  "));
  EXPECT_EQ(snapshot->range, (AXTextRange{-1, -1}));
  EXPECT_EQ(snapshot->element, nullptr);
  EXPECT_EQ(snapshot->source, Source::cmdCopy);
  EXPECT_EQ(keyboard.chords, QList<KeyChord>{(KeyChord{KeyChord::Key::c, false})});

  // Every item back, in order, with every format whose data was readable.
  PasteboardItem imageReadable = image;
  imageReadable.formats.removeLast();
  pasteboard.unreadable.clear();
  EXPECT_EQ(pasteboard.contents, (QList<PasteboardItem>{imageReadable, html}));
}

TEST_F(SelectionSnapshotTest, CopyCaptureWithoutACopyLeavesTheClipboardAlone) {
  struct Case {
    const char* name;
    QList<PasteboardItem> before;
    bool keyboardWorks;
  };
  const std::vector<Case> cases = {
      {"the application ignores the keys", {FakePasteboard::textItem(QStringLiteral("mine"))}, true},
      {"an empty clipboard stays empty", {}, true},
      {"nothing could be typed", {FakePasteboard::textItem(QStringLiteral("mine"))}, false},
  };
  for (const Case& c : cases) {
    pasteboard.copy(c.before);
    pasteboard.writes = 0;
    keyboard.works = c.keyboardWorks;
    EXPECT_FALSE(SelectionSnapshot::captureViaCmdC()) << c.name;
    EXPECT_EQ(pasteboard.contents, c.before) << c.name;
    EXPECT_EQ(pasteboard.writes, 0) << c.name;
  }
  EXPECT_THAT(traceLines(), Contains(QStringLiteral("CmdC-Fallback: no text captured from Gedit")));
  EXPECT_THAT(log.texts(QStringLiteral("Selection")), Contains(QStringLiteral("cmdCopy: no text captured from Gedit")));
}

TEST_F(SelectionSnapshotTest, CopyCaptureTypesNoKeysIntoThisProgram) {
  // The keys would wait for the main thread, which is busy waiting for the copy.
  front.app = FakeFrontApplication::named(QStringLiteral("Veltrine"), qint32(QCoreApplication::applicationPid()));
  pasteboard.copy({FakePasteboard::textItem(QStringLiteral("mine"))});
  copyOnControlC(QStringLiteral("copied"));
  EXPECT_FALSE(SelectionSnapshot::captureViaCmdC());
  EXPECT_TRUE(keyboard.chords.isEmpty());
  EXPECT_EQ(pasteboard.contents, QList<PasteboardItem>{FakePasteboard::textItem(QStringLiteral("mine"))});
  EXPECT_THAT(traceLines(), Contains(QStringLiteral("CmdC-Fallback: no text captured from Veltrine")));
}

TEST_F(SelectionSnapshotTest, CopyCaptureOfAnEmptyClipboardEmptiesItAgain) {
  copyOnControlC(QStringLiteral("word"));
  const auto snapshot = SelectionSnapshot::captureViaCmdC();
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->text, QStringLiteral("word"));
  EXPECT_THAT(pasteboard.contents, IsEmpty());
}

TEST_F(SelectionSnapshotTest, CopyCaptureAsksEditabilityFromTheDesktopThenTheApplication) {
  struct Case {
    const char* name;
    std::shared_ptr<FakeElement> systemWide;
    std::shared_ptr<FakeElement> application;
    std::optional<bool> expected;
    QString traceLine;
  };
  auto roleless = FakeElement::text(QStringLiteral("x"), std::nullopt, QString());
  const std::vector<Case> cases = {
      {"desktop role", FakeElement::focusing(FakeElement::text(QStringLiteral("x"), std::nullopt,
                                                               QStringLiteral("AXTextField"), false)),
       FakeElement::failing(AXError::noValue), false,
       QStringLiteral("CmdC-isEditable: SystemWide role=AXTextField, isEditable=false")},
      {"desktop without role: the application", FakeElement::focusing(roleless),
       FakeElement::focusing(FakeElement::text(QStringLiteral("x"), std::nullopt, QStringLiteral("AXTextArea"))), true,
       QStringLiteral("CmdC-isEditable: Application role=AXTextArea, isEditable=true")},
      {"no role anywhere: undetermined", FakeElement::failing(AXError::apiDisabled),
       FakeElement::failing(AXError::apiDisabled), std::nullopt,
       QStringLiteral("CmdC-isEditable: AX role unavailable, returning nil (undetermined)")},
  };
  for (const Case& c : cases) {
    clearTrace();
    accessibility.systemWideElement = c.systemWide;
    accessibility.applications[4242] = c.application;
    copyOnControlC(QStringLiteral("copied"));
    const auto snapshot = SelectionSnapshot::captureViaCmdC();
    ASSERT_TRUE(snapshot) << c.name;
    EXPECT_EQ(snapshot->isEditable, c.expected) << c.name;
    EXPECT_EQ(c.systemWide->timeout, std::optional(500ms)) << c.name;
    const QStringList trace = traceLines();
    EXPECT_THAT(trace, Contains(c.traceLine)) << c.name;
    const QString word = c.expected ? (*c.expected ? "true" : "false") : "nil";
    EXPECT_THAT(trace, Contains("CmdC-Fallback snapshot: app=Gedit, textLen=6, isEditable=" + word)) << c.name;
  }
}

TEST_F(SelectionSnapshotTest, RestoreRefusesWhatItCannotPutBack) {
  struct Case {
    const char* name;
    SelectionSnapshot snapshot;
    bool trusted;
    QtMsgType level;
    QString message;
  };
  auto element = FakeElement::text(QStringLiteral("hello"));
  const std::vector<Case> cases = {
      {"a copy snapshot has no element", {QStringLiteral("hi"), {-1, -1}, nullptr, true, Source::cmdCopy}, true,
       QtInfoMsg, QStringLiteral("restore skipped: source=CmdC-Fallback, no element")},
      {"no position", {QStringLiteral("hi"), {-1, 5}, element, true, Source::axApplication}, true, QtInfoMsg,
       QStringLiteral("restore skipped: invalid range")},
      {"not trusted", {QStringLiteral("hi"), {0, 2}, element, true, Source::axSystemWide}, false, QtCriticalMsg,
       QStringLiteral("restore skipped: AX not trusted")},
      {"a range the desktop cannot express",
       {QStringLiteral("hi"), {0, qint64(1) << 40}, element, true, Source::axSystemWide}, true, QtCriticalMsg,
       QStringLiteral("restore skipped: AXValueCreate failed")},
  };
  for (const Case& c : cases) {
    trust.trusted = c.trusted;
    EXPECT_FALSE(SelectionSnapshot::restore(c.snapshot)) << c.name;
    EXPECT_TRUE(log.contains(QStringLiteral("SelectionRestore"), c.level, c.message)) << c.name;
  }
  EXPECT_THAT(element->writes, IsEmpty());
}

TEST_F(SelectionSnapshotTest, RestoreSetsTheRangeAndReportsTheElementsAnswer) {
  auto element = FakeElement::text(QStringLiteral("hello"));
  const SelectionSnapshot snapshot{QStringLiteral("hello"), {6, 5}, element, true, Source::axSystemWide};
  EXPECT_TRUE(SelectionSnapshot::restore(snapshot));
  ASSERT_EQ(element->writes.size(), 1);
  EXPECT_EQ(element->writes.at(0).first, AXAttribute::selectedTextRange);
  EXPECT_EQ(std::get<AXTextRange>(element->writes.at(0).second), (AXTextRange{6, 5}));

  element->setResult = AXError::invalidUIElement;  // the field is gone
  EXPECT_FALSE(SelectionSnapshot::restore(snapshot));

  EXPECT_THAT(log.texts(QStringLiteral("SelectionRestore")),
              ElementsAre("restore begin: source=AX-SystemWide, range={loc=6, len=5}, textLen=5", "restore result: success",
                          "restore begin: source=AX-SystemWide, range={loc=6, len=5}, textLen=5",
                          "restore result: invalidUIElement"));
  EXPECT_THAT(traceLines(), ElementsAre("Selection restore begin: source=AX-SystemWide, range={loc=6, len=5}, textLen=5",
                                        "Selection restore result: success",
                                        "Selection restore begin: source=AX-SystemWide, range={loc=6, len=5}, textLen=5",
                                        "Selection restore result: invalidUIElement"));
}

TEST_F(SelectionSnapshotTest, DiagnosticLineDescribesTrustFrontApplicationAndFocus) {
  auto field = FakeElement::text(QStringLiteral("hello"), AXTextRange{2, 5});
  struct Case {
    const char* name;
    std::optional<RunningApplication> app;
    std::shared_ptr<FakeElement> systemWide;
    std::shared_ptr<FakeElement> application;
    QString expected;
  };
  const std::vector<Case> cases = {
      {"no front application", std::nullopt, nullptr, nullptr,
       "[SelectionDiag] probe-20ms: AXTrusted=true, no frontmost app"},
      {"the desktop's focused element", FakeFrontApplication::named(QStringLiteral("Gedit"), 4242),
       FakeElement::focusing(field), FakeElement::failing(AXError::noValue),
       "[SelectionDiag] probe-20ms: AXTrusted=true, app=Gedit(pid=4242), SW-focusErr=0, App-focusErr=-25212, "
       "role=AXTextField, textLen=5, range={loc=2, len=5}"},
      {"else the application's", FakeFrontApplication::named(QStringLiteral("Gedit"), 4242),
       FakeElement::failing(AXError::cannotComplete), FakeElement::focusing(FakeElement::text(QString())),
       "[SelectionDiag] probe-20ms: AXTrusted=true, app=Gedit(pid=4242), SW-focusErr=-25204, App-focusErr=0, "
       "role=AXTextField, textLen=0, range=nil"},
      {"no focused element", FakeFrontApplication::named(QStringLiteral("Gedit"), 4242),
       FakeElement::failing(AXError::cannotComplete), FakeElement::failing(AXError::apiDisabled),
       "[SelectionDiag] probe-20ms: AXTrusted=true, app=Gedit(pid=4242), SW-focusErr=-25204, App-focusErr=-25211"},
  };
  for (const Case& c : cases) {
    front.app = c.app;
    if (c.systemWide) accessibility.systemWideElement = c.systemWide;
    if (c.application) accessibility.applications[4242] = c.application;
    EXPECT_EQ(SelectionSnapshot::selectionDiag(QStringLiteral("probe-20ms")), c.expected) << c.name;
  }
  trust.trusted = false;
  front.app.reset();
  EXPECT_EQ(SelectionSnapshot::selectionDiag(QStringLiteral("x")), "[SelectionDiag] x: AXTrusted=false, no frontmost app");
}

TEST(SelectionSnapshotSource, RawValuesRoundTrip) {
  for (Source source : {Source::axSystemWide, Source::axApplication, Source::cmdCopy}) {
    EXPECT_EQ(SelectionSnapshot::sourceFromRawValue(SelectionSnapshot::rawValue(source)), source);
  }
  EXPECT_EQ(SelectionSnapshot::rawValue(Source::cmdCopy), QStringLiteral("CmdC-Fallback"));
  EXPECT_FALSE(SelectionSnapshot::sourceFromRawValue(QStringLiteral("AX-Whatever")));
}

TEST(AXErrorName, NamesEveryCodeAndSpellsOutUnknownOnes) {
  const std::vector<std::pair<qint32, const char*>> cases = {
      {0, "success"},
      {-25200, "failure"},
      {-25201, "illegalArgument"},
      {-25202, "invalidUIElement"},
      {-25203, "invalidUIElementObserver"},
      {-25204, "cannotComplete"},
      {-25205, "attributeUnsupported"},
      {-25206, "actionUnsupported"},
      {-25207, "notificationUnsupported"},
      {-25208, "notImplemented"},
      {-25209, "notificationAlreadyRegistered"},
      {-25210, "notificationNotRegistered"},
      {-25211, "apiDisabled"},
      {-25212, "noValue"},
      {-25213, "parameterizedAttributeUnsupported"},
      {-25214, "notEnoughPrecision"},
      {1, "unknown(1)"},
      {-25215, "unknown(-25215)"},
  };
  for (const auto& [code, name] : cases) EXPECT_EQ(axErrorName(code), QString::fromLatin1(name)) << code;
}

}  // namespace
