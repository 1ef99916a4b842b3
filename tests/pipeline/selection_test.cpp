// Reading the selection with fake desktop services (the order of the three
// methods, the copy's care for the clipboard, putting the selection back),
// the chords that copy and paste where, and the clipboard context.
#include "pipeline/clipboardhistory.h"
#include "pipeline/commandkeys.h"
#include "pipeline/selectionsnapshot.h"
#include "platform/primaryhighlightwatch.h"

#include "awaittask.h"
#include "fakeaccessibility.h"
#include "fakeaccessibilitytrust.h"
#include "fakefrontapplication.h"
#include "fakepasteboard.h"
#include "fakesynthetickeyboard.h"
#include "pipelinestate.h"
#include "tracelines.h"

#include <gmock/gmock.h>

#include <thread>

using namespace std::chrono_literals;
using ::testing::Contains;
using ::testing::IsEmpty;
using Source = SelectionSnapshot::Source;

namespace {

constexpr qint32 kGedit = 4242;

class Selection : public PipelineTest {
 protected:
  // The front application answers its copy key by copying `copied`.
  void copyOnCopyKey(const QString& copied) {
    keyboard.onChord = [this, copied](const KeyChord& chord) {
      if (chord == KeyChord::controlInsert()) pasteboard.copy({FakePasteboard::textItem(copied)});
    };
  }

  FakeAccessibilityTrust trust{true};
  FakeAccessibility accessibility;
  FakeFrontApplication front{FakeFrontApplication::named(QStringLiteral("Gedit"), kGedit)};
  FakeSyntheticKeyboard keyboard;
  FakePasteboard pasteboard;
};

TEST_F(Selection, CaptureTriesTheMethodsInOrderUntilOneFindsASelection) {
  const auto field = [](const QString& text) { return FakeElement::focusing(FakeElement::text(text, AXTextRange{3, text.size()})); };
  const auto failing = [] { return FakeElement::failing(AXError::noValue); };
  const struct {
    const char* name;
    bool trusted;
    std::shared_ptr<FakeElement> systemWide, application;
    std::optional<Source> source;
    QString text;
  } cases[] = {
      {"the desktop's focused element wins", true, field("desktop"), field("app"), Source::axSystemWide, "desktop"},
      {"no desktop focus: the application's", true, failing(), field("app"), Source::axApplication, "app"},
      {"an empty selection falls through", true, field(""), field("app"), Source::axApplication, "app"},
      {"both fail: the copy", true, failing(), failing(), Source::cmdCopy, "copied"},
      {"untrusted: only the copy", false, field("desktop"), field("app"), Source::cmdCopy, "copied"},
      {"nothing anywhere", true, failing(), failing(), std::nullopt, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    trust.trusted = c.trusted;
    accessibility.systemWideElement = c.systemWide;
    accessibility.applications[kGedit] = c.application;
    pasteboard.copy({});
    copyOnCopyKey(c.source ? QStringLiteral("copied") : QString());
    keyboard.chords.clear();
    const std::optional<SelectionSnapshot> snapshot = SelectionSnapshot::capture();
    ASSERT_EQ(snapshot.has_value(), c.source.has_value());
    if (snapshot) {
      EXPECT_EQ(snapshot->source, *c.source);
      EXPECT_EQ(snapshot->text, c.text);
    }
    EXPECT_EQ(keyboard.chords.size(), c.source == Source::cmdCopy || !c.source ? 1 : 0) << "copy keys only for the copy";
  }

  // The trust is asked again before the application is read: it went away meanwhile.
  trust.trusted = true;
  accessibility.systemWideElement = failing();
  accessibility.systemWideElement->onRead = [this](const QString&) { trust.trusted = false; };
  accessibility.applications[kGedit] = field("app");
  copyOnCopyKey(QStringLiteral("copied"));
  EXPECT_EQ(SelectionSnapshot::capture().value_or(SelectionSnapshot{}).source, Source::cmdCopy);
}

// An application that answers slowly: the calls of one step share its time,
// and a step that ran out found nothing, whatever it read by then. A field
// whose emptiness was read too late does not keep the copy from running, and
// an editability probe that ran out leaves editability undetermined.
TEST_F(Selection, EachAccessibilityStepEndsWithinItsOwnTimeAndRunningOutFindsNothing) {
  const auto slowly = [](std::shared_ptr<FakeElement> element) {
    element->onRead = [](const QString&) { std::this_thread::sleep_for(400ms); };
    return element;
  };
  // Four reads of 0.4 s: the word is read in time, its role no longer.
  auto field = slowly(FakeElement::text(QStringLiteral("hello"), AXTextRange{0, 5}));
  accessibility.systemWideElement = slowly(FakeElement::focusing(field));
  clearTrace();
  const auto started = std::chrono::steady_clock::now();
  EXPECT_FALSE(SelectionSnapshot::captureSystemWide());
  const auto end = accessibility.systemWideElement->deadline.value_or(started);
  EXPECT_TRUE(end >= started + 1000ms && end < started + 1100ms) << "the step's own end";
  EXPECT_THAT(traceLines(), Contains(QStringLiteral("snapshot[AX-SystemWide]: out of time, nothing found")));

  auto empty = slowly(FakeElement::text(QString()));
  accessibility.systemWideElement = slowly(FakeElement::focusing(empty));
  copyOnCopyKey(QStringLiteral("copied"));
  keyboard.chords.clear();
  const std::optional<SelectionSnapshot> copied = SelectionSnapshot::capture();
  ASSERT_TRUE(copied);
  EXPECT_EQ(copied->source, Source::cmdCopy);
  EXPECT_EQ(copied->isEditable, std::nullopt);
  EXPECT_EQ(keyboard.chords.size(), 1);
}

// Some editors (Kate, among others) copy their current line when nothing is
// selected: that line must not be taken for the user's selection. A view that
// takes no typing may hold its selection elsewhere (a web page's document).
TEST_F(Selection, NothingSelectedInAFieldThatTakesTypingSendsNoCopy) {
  copyOnCopyKey(QStringLiteral("the current line"));
  const struct {
    const char* name;
    std::shared_ptr<FakeElement> focused;
    bool copies;
  } cases[] = {
      {"an editable field", FakeElement::text(QString()), false},
      {"a read-only view", FakeElement::text(QString(), std::nullopt, QStringLiteral("AXTextArea"), false), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    accessibility.systemWideElement = FakeElement::focusing(c.focused);
    accessibility.applications[kGedit] = FakeElement::focusing(c.focused);
    keyboard.chords.clear();
    const std::optional<SelectionSnapshot> snapshot = SelectionSnapshot::capture();
    EXPECT_EQ(keyboard.chords.size(), c.copies ? 1 : 0);
    EXPECT_EQ(snapshot.has_value(), c.copies);
  }
}

TEST_F(Selection, AccessibilityReadsTextRangeAndEditability) {
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
  const struct {
    const char* name;
    std::shared_ptr<FakeElement> element;
    std::optional<QString> text;
    AXTextRange range;
    bool editable;
  } cases[] = {
      {"no range: from 0 over the characters a person sees", noRange, QStringLiteral("cafe\u0301 \U0001F44D\U0001F3FD"),
       {0, 6}, true},
      {"the element's range and settable answer", withRange, QStringLiteral("hello"), {7, 5}, false},
      {"settable query fails: a text area counts as editable", readOnlyArea, QStringLiteral("notes"), {0, 5}, true},
      {"settable query fails: other roles do not", button, QStringLiteral("OK"), {0, 2}, false},
      {"a selected text that is no string", notAString, std::nullopt, {}, false},
      {"a selected text that cannot be read", unreadable, std::nullopt, {}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    accessibility.systemWideElement = FakeElement::focusing(c.element);
    const auto snapshot = SelectionSnapshot::captureSystemWide();
    ASSERT_EQ(snapshot.has_value(), c.text.has_value());
    EXPECT_EQ(c.element->timeout, std::optional(1000ms));
    if (!snapshot) continue;
    EXPECT_EQ(snapshot->text, *c.text);
    EXPECT_EQ(snapshot->range, c.range);
    EXPECT_EQ(snapshot->isEditable, std::optional<bool>(c.editable));
    EXPECT_EQ(snapshot->element, c.element);
  }

}

TEST_F(Selection, TheCopyTakesTheCopiedTextAndPutsEveryClipboardFormatBack) {
  const PasteboardItem image{{{QStringLiteral("image/png"), QByteArray("\x89PNG", 4)},
                              {QStringLiteral("application/x-private"), QByteArray("secret")},
                              {QStringLiteral("text/uri-list"), QByteArray("file:///a.png")}}};
  const PasteboardItem html{{{QStringLiteral("text/html"), QByteArray("<b>hi</b>")},
                             {QStringLiteral("text/plain"), QByteArray("hi")}}};
  pasteboard.copy({image, html});
  pasteboard.unreadable = {QStringLiteral("text/uri-list")};
  copyOnCopyKey(QStringLiteral("  "));  // blanks count as a selection
  const auto snapshot = SelectionSnapshot::captureViaCmdC();
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->text, QStringLiteral("  "));
  EXPECT_EQ(snapshot->range, (AXTextRange{-1, -1}));
  EXPECT_EQ(snapshot->element, nullptr);
  EXPECT_EQ(keyboard.chords, QList<KeyChord>{KeyChord::controlInsert()});
  PasteboardItem imageReadable = image;  // every format whose data was readable, in order
  imageReadable.formats.removeLast();
  pasteboard.unreadable.clear();
  EXPECT_EQ(pasteboard.contents, (QList<PasteboardItem>{imageReadable, html}));

  // An empty clipboard is empty again.
  pasteboard.copy({});
  copyOnCopyKey(QStringLiteral("word"));
  EXPECT_EQ(SelectionSnapshot::captureViaCmdC().value_or(SelectionSnapshot{}).text, QStringLiteral("word"));
  EXPECT_THAT(pasteboard.contents, IsEmpty());
}

// Emacs's copy copies the text between mark and cursor also where no region
// is shown, and puts it on Emacs's kill ring. The copy goes out only while
// Emacs seems to show a region: it holds PRIMARY (which it takes again after
// every key while a region is shown) and no key reached it since (the
// hotkey's never does). Only a copy that ended a shown region (Emacs then
// takes PRIMARY anew with its text) read a selection. The element
// accessibility calls focused in Emacs is a bare panel that shows no text: it
// tells nothing about the editability of what the copy found.
TEST_F(Selection, InEmacsTheCopyGoesOutOnlyWhileARegionSeemsShownAndReadsOnlyTheRegion) {
  struct KeysSinceTaken final : PrimaryHighlightWatch {
    bool isShown(const RunningApplication&) override { return true; }
    int keysSinceTaken(const RunningApplication&) override { return keys; }
    int keys = 0;
  } watch;
  PrimaryHighlightWatch::install(&watch);
  FakePasteboard primary{FakePasteboard::Slot::primarySelection};
  front.app = FakeFrontApplication::named(QStringLiteral("Emacs"), kGedit);
  auto panel = std::make_shared<FakeElement>();
  panel->attributes[AXAttribute::role] = {AXError::success, QStringLiteral("AXPanel")};
  panel->valueSettable = {AXError::success, false};
  accessibility.systemWideElement = FakeElement::focusing(panel);
  const QString region = QStringLiteral("between mark and cursor");
  const struct {
    const char* name;
    std::optional<qint32> primaryOwner;
    int keysSinceTaken;
    bool copyEndsARegion;
    bool copySent;
  } cases[] = {
      {"a region shown", kGedit, 0, true, true},
      {"another program took PRIMARY since", kGedit + 1, 0, false, false},
      {"a key ended the region since", kGedit, 1, false, false},
      {"the last key before the hotkey ended it", kGedit, 0, false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    primary.copy({FakePasteboard::textItem(region)});
    primary.ownerPid = c.primaryOwner;
    watch.keys = c.keysSinceTaken;
    keyboard.chords.clear();
    keyboard.onChord = [&](const KeyChord& chord) {
      if (chord != KeyChord::controlInsert()) return;
      pasteboard.copy({FakePasteboard::textItem(region)});
      if (c.copyEndsARegion) primary.copy({FakePasteboard::textItem(region)});
    };
    const auto snapshot = SelectionSnapshot::captureViaCmdC();
    EXPECT_EQ(keyboard.chords.size(), c.copySent ? 1 : 0);
    ASSERT_EQ(snapshot.has_value(), c.copyEndsARegion);
    if (snapshot) {
      EXPECT_EQ(snapshot->text, region);
      EXPECT_EQ(snapshot->isEditable, std::nullopt);
    }
  }
  PrimaryHighlightWatch::install(nullptr);
  // Elsewhere a focused element that shows text decides, read-only or not.
  front.app = FakeFrontApplication::named(QStringLiteral("Gedit"), kGedit);
  accessibility.systemWideElement = FakeElement::focusing(FakeElement::text(QString(), std::nullopt, "AXStaticText", false));
  copyOnCopyKey(QStringLiteral("label"));
  EXPECT_EQ(SelectionSnapshot::captureViaCmdC().value_or(SelectionSnapshot{}).isEditable, std::optional(false));
}

TEST_F(Selection, ACopyThatCopiesNothingLeavesTheClipboardAlone) {
  const struct {
    const char* name;
    QList<PasteboardItem> before;
    bool keyboardWorks;
    RunningApplication inFront;
  } cases[] = {
      {"the application ignores the keys", {FakePasteboard::textItem(QStringLiteral("mine"))}, true,
       FakeFrontApplication::named(QStringLiteral("Gedit"), kGedit)},
      {"an empty clipboard stays empty", {}, true, FakeFrontApplication::named(QStringLiteral("Gedit"), kGedit)},
      {"nothing could be typed", {FakePasteboard::textItem(QStringLiteral("mine"))}, false,
       FakeFrontApplication::named(QStringLiteral("Gedit"), kGedit)},
      // Keys for this program would wait for the main thread, busy waiting for the copy.
      {"this program is in front", {FakePasteboard::textItem(QStringLiteral("mine"))}, true,
       FakeFrontApplication::named(QStringLiteral("Veltrine"), qint32(QCoreApplication::applicationPid()))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    front.app = c.inFront;
    pasteboard.copy(c.before);
    pasteboard.writes = 0;
    keyboard.works = c.keyboardWorks;
    keyboard.chords.clear();
    if (c.inFront.pid != kGedit) copyOnCopyKey(QStringLiteral("copied")); else keyboard.onChord = nullptr;
    EXPECT_FALSE(SelectionSnapshot::captureViaCmdC());
    EXPECT_EQ(pasteboard.contents, c.before);
    EXPECT_EQ(pasteboard.writes, 0);
    if (c.inFront.pid != kGedit) {
      EXPECT_THAT(keyboard.chords, IsEmpty());
    }
  }
}

TEST_F(Selection, RestorePutsTheRangeBackOnlyWhereItCan) {
  auto element = FakeElement::text(QStringLiteral("hello"));
  const struct {
    const char* name;
    SelectionSnapshot snapshot;
    bool trusted;
  } refused[] = {
      {"a copy has no element", {QStringLiteral("hi"), {-1, -1}, nullptr, true, Source::cmdCopy}, true},
      {"no position", {QStringLiteral("hi"), {-1, 5}, element, true, Source::axApplication}, true},
      {"not trusted", {QStringLiteral("hi"), {0, 2}, element, true, Source::axSystemWide}, false},
      {"a range the desktop cannot express", {QStringLiteral("hi"), {0, qint64(1) << 40}, element, true, Source::axSystemWide}, true},
  };
  for (const auto& c : refused) {
    trust.trusted = c.trusted;
    EXPECT_FALSE(awaitTask(SelectionSnapshot::restore(c.snapshot))) << c.name;
  }
  EXPECT_THAT(element->writes, IsEmpty());

  trust.trusted = true;
  const SelectionSnapshot snapshot{QStringLiteral("hello"), {6, 5}, element, true, Source::axSystemWide};
  EXPECT_TRUE(awaitTask(SelectionSnapshot::restore(snapshot)));
  ASSERT_EQ(element->writes.size(), 1);
  EXPECT_EQ(element->writes.at(0).first, AXAttribute::selectedTextRange);
  EXPECT_EQ(std::get<AXTextRange>(element->writes.at(0).second), (AXTextRange{6, 5}));
  element->setResult = AXError::invalidUIElement;  // the field is gone
  element->attributes.remove(AXAttribute::selectedTextRange);
  EXPECT_FALSE(awaitTask(SelectionSnapshot::restore(snapshot)));
  EXPECT_THAT(traceLines(), Contains("Selection restore result: invalidUIElement"));
}

// Setting a selection again is not harmless (GTK 4 drops one it is asked to
// set), and behind a read the application never answered a write only queues.
TEST_F(Selection, RestoreWritesNothingWhereTheSelectionIsInPlaceOrCannotBeRead) {
  auto element = FakeElement::text(QStringLiteral("brave"), AXTextRange{6, 5});
  const SelectionSnapshot snapshot{QStringLiteral("brave"), {6, 5}, element, true, Source::axApplication};
  EXPECT_TRUE(awaitTask(SelectionSnapshot::restore(snapshot)));
  element->attributes[AXAttribute::selectedTextRange] = {AXError::cannotComplete, {}};
  EXPECT_FALSE(awaitTask(SelectionSnapshot::restore(snapshot)));
  EXPECT_THAT(element->writes, IsEmpty());
}

RunningApplication window(const QString& instance, const QString& windowClass) {
  return RunningApplication{100, windowClass, instance, windowClass};
}

RunningApplication tkProgram(const QString& windowClass) {
  RunningApplication app = window(windowClass.toLower(), windowClass);
  app.tk = true;
  return app;
}

// Control+C with nothing selected interrupts a terminal in a web page, and
// Control+V is a page down in Emacs.
TEST(CommandChord, ApplicationsCopyWithControlInsertAndPasteWithShiftInsertTerminalsKeepTheirOwnKeys) {
  const KeyChord shiftedCopy{KeyChord::Key::c, true}, shiftedPaste{KeyChord::Key::v, true};
  const struct {
    const char* name;
    std::optional<RunningApplication> app;
    std::optional<KeyChord> copy;
    KeyChord paste;
    bool xtermKind = false, pastesBeside = false;
  } cases[] = {
      {"no front application", std::nullopt, KeyChord::controlInsert(), KeyChord::shiftInsert()},
      {"GNOME Terminal by its class", window("gnome-terminal-server", "Gnome-terminal"), shiftedCopy, shiftedPaste},
      {"Alacritty, any case", window("Alacritty", "Alacritty"), shiftedCopy, shiftedPaste},
      {"a terminal known by its instance only", window("tilix", "SomethingElse"), shiftedCopy, shiftedPaste},
      // Their Control+Shift+C interrupts, Control+Shift+V types a ^V that eats the next key.
      {"xterm", window("xterm", "XTerm"), std::nullopt, KeyChord::shiftInsert(), true},
      {"urxvt", window("urxvt", "URxvt"), std::nullopt, KeyChord::shiftInsert(), true},
      {"a name that merely contains 'term'", window("termpaper", "Termpaper"), KeyChord::controlInsert(),
       KeyChord::shiftInsert()},
      {"Emacs", window("emacs", "Emacs"), KeyChord::controlInsert(), KeyChord::shiftInsert(), false, true},
      {"a Tk program, whatever its class", tkProgram(QStringLiteral("Notes")), KeyChord::controlInsert(),
       KeyChord::shiftInsert(), false, true},
      // Control+Insert switches a mode in both; their Shift+Insert pastes PRIMARY.
      {"gvim", window("gvim", "Gvim"), std::nullopt, KeyChord::shiftInsert()},
      {"xedit", window("xedit", "Xedit"), std::nullopt, KeyChord::shiftInsert(), false, true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(commandChord(KeyChord::Key::c, c.app), c.copy) << c.name;
    EXPECT_EQ(commandChord(KeyChord::Key::v, c.app), c.paste) << c.name;
    EXPECT_EQ(isPrimarySelectionTerminal(c.app), c.xtermKind) << c.name;
    EXPECT_EQ(pastesBesideSelection(c.app), c.pastesBeside) << c.name;
  }
}

// Konsole's copy key with nothing selected reaches the program running in it
// as ^C, and what a terminal shows selected is its output. Its selection is
// read from accessibility where the terminal answers (Konsole's screen is a
// text with its selection, and it then says when nothing is selected), else
// from the PRIMARY selection it took when the user highlighted text; its copy
// key is never typed. Once a VTE terminal's screen has scrolled, its
// accessible selection still says that text is highlighted, but not where:
// the highlight is then what it holds on PRIMARY. An accessible text that
// does not show the screen (empty, or without the highlighted word) says
// nothing about the highlight: PRIMARY again.
TEST_F(Selection, ATerminalsSelectionIsReadWithoutItsCopyKeyAndIsNeverEditable) {
  FakePasteboard primary{FakePasteboard::Slot::primarySelection};
  const RunningApplication konsole = window("konsole", "konsole");
  // A terminal's screen, with a prompt and the word "brave" in its output.
  const auto screen = [](const QString& selected, std::optional<qint64> selections = std::nullopt,
                         const QString& shown = QStringLiteral("$ echo brave\nbrave\n$ ")) {
    // Some terminals call their screen editable; it is not where an answer goes.
    auto text = FakeElement::text(selected, std::nullopt, QStringLiteral("AXTextArea"), true);
    text->attributes.insert(AXAttribute::value, {AXError::success, shown});
    if (selections) text->attributes.insert(AXAttribute::selectionCount, {AXError::success, *selections});
    return FakeElement::focusing(text);
  };
  const auto scrolledScreen = [](const QString& selected) {
    auto text = FakeElement::text(selected, std::nullopt, QStringLiteral("AXTextArea"), true);
    text->attributes.insert(AXAttribute::selectionCount, {AXError::success, qint64(1)});
    return FakeElement::focusing(text);
  };
  const auto noAccessibility = [] { return FakeElement::failing(AXError::cannotComplete); };
  const auto noText = [] {
    auto tab = FakeElement::text(QString(), std::nullopt, QStringLiteral("AXPageTab"), false);
    tab->attributes.remove(AXAttribute::selectedText);
    return FakeElement::focusing(tab);
  };
  const struct {
    const char* name;
    std::shared_ptr<FakeElement> focus;
    std::optional<qint32> primaryOwner;
    std::optional<Source> source;
  } cases[] = {
      {"accessibility shows the selection", screen(QStringLiteral("brave")), 100, Source::axSystemWide},
      {"accessibility shows none; PRIMARY is an old highlight", screen(QString()), 100, std::nullopt},
      {"none selected, none highlighted; PRIMARY is an old highlight", screen(QString(), 0), 100, std::nullopt},
      // cool-retro-term: a focused, editable, empty text, whatever it shows.
      {"an empty text; the highlight on PRIMARY", screen(QString(), 0, QString()), 100, Source::cmdCopy},
      {"a text that is not the screen; PRIMARY", screen(QString(), 0, QStringLiteral("input")), 100, Source::cmdCopy},
      {"an empty text, PRIMARY held elsewhere", screen(QString(), 0, QString()), kGedit, std::nullopt},
      {"scrolled: a highlight at an empty range; PRIMARY", scrolledScreen(QString()), 100, Source::cmdCopy},
      {"scrolled: a highlight on another line; PRIMARY", scrolledScreen(QStringLiteral(" alpha")), 100,
       Source::cmdCopy},
      {"scrolled: a highlight at an empty range, PRIMARY held elsewhere", scrolledScreen(QString()), kGedit,
       std::nullopt},
      {"no accessibility: the highlight on PRIMARY", noAccessibility(), 100, Source::cmdCopy},
      {"a focused part that shows no text: PRIMARY", noText(), 100, Source::cmdCopy},
      {"no accessibility, PRIMARY held elsewhere", noAccessibility(), kGedit, std::nullopt},
  };
  // Any key typed would copy something.
  keyboard.onChord = [this](const KeyChord&) { pasteboard.copy({FakePasteboard::textItem(QStringLiteral("copied"))}); };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    front.app = konsole;
    accessibility.systemWideElement = c.focus;
    accessibility.applications[konsole.pid] = c.focus;
    primary.copy({FakePasteboard::textItem(QStringLiteral("brave"))});
    primary.ownerPid = c.primaryOwner;
    keyboard.chords.clear();
    const std::optional<SelectionSnapshot> snapshot = SelectionSnapshot::capture();
    EXPECT_THAT(keyboard.chords, IsEmpty());
    ASSERT_EQ(snapshot.has_value(), c.source.has_value());
    if (!snapshot) continue;
    EXPECT_EQ(snapshot->source, *c.source);
    EXPECT_EQ(snapshot->text, QStringLiteral("brave"));
    EXPECT_EQ(snapshot->isEditable, std::optional(false));
  }
}

TEST_F(Selection, KeysAimedAtAProcessGoOutOnlyWhileItOwnsTheFocus) {
  EXPECT_TRUE(postCommandV(kGedit));
  EXPECT_TRUE(postCommandC(kGedit));
  EXPECT_FALSE(postCommandV(777));  // the user switched to another application
  EXPECT_FALSE(postCommandC(777));
  front.app.reset();
  EXPECT_FALSE(postCommandV(kGedit));  // focus on a window of no known process
  EXPECT_TRUE(postCommandV(std::nullopt));  // nobody in front: whatever has the focus
  front.app = window("kitty", "kitty");
  EXPECT_TRUE(postCommandC(std::nullopt));
  front.app = window("xterm", "XTerm");
  EXPECT_FALSE(postCommandC(std::nullopt));
  EXPECT_TRUE(postCommandV(std::nullopt));
  EXPECT_EQ(keyboard.chords, (QList<KeyChord>{KeyChord::shiftInsert(), KeyChord::controlInsert(),
                                              KeyChord::shiftInsert(), {KeyChord::Key::c, true},
                                              KeyChord::shiftInsert()}));
}

TEST_F(Selection, ClipboardContextIsReadOnlyWithConsentItemByItem) {
  pasteboard.copy({FakePasteboard::textItem(QStringLiteral("secret"))});
  EXPECT_TRUE(readClipboardHistory(5).isEmpty()) << "never set";
  UserDefaults::shared().setText(clipboardAccessEnabledKey, QStringLiteral("yes"));
  EXPECT_TRUE(readClipboardHistory(5).isEmpty()) << "not a Boolean";
  UserDefaults::shared().setBoolean(clipboardAccessEnabledKey, true);
  const auto texts = [](const QStringList& list) {
    QList<PasteboardItem> items;
    for (const QString& text : list) items.append(FakePasteboard::textItem(text));
    return items;
  };
  const PasteboardItem image{{{QStringLiteral("image/png"), QByteArray("\x89PNG", 4)}}};
  const struct {
    const char* name;
    QList<PasteboardItem> items;
    int limit;
    QStringList expected;
  } cases[] = {
      {"blanks and a line break are kept", texts({"  hello\n"}), 5, {"  hello\n"}},
      {"six texts: the first five", texts({"1", "2", "3", "4", "5", "6"}), 5, {"1", "2", "3", "4", "5"}},
      {"an image uses up the only place", {image, FakePasteboard::textItem("text")}, 1, {}},
      {"blank items are skipped but counted", texts({" \n\t", "a", "b"}), 2, {"a"}},
      {"a negative limit reads nothing", texts({"a"}), -3, {}},
  };
  for (const auto& c : cases) {
    pasteboard.copy(c.items);
    EXPECT_EQ(readClipboardHistory(c.limit), c.expected) << c.name;
  }
  UserDefaults::shared().setBoolean(clipboardAccessEnabledKey, false);
  EXPECT_TRUE(readClipboardHistory(5).isEmpty());
}

}  // namespace
