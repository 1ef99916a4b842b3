// Dictations where every key goes through an input method, as on the desktops
// of users who write Chinese: fcitx5 with the US keyboard and Pinyin, Control+
// Space to switch between them, or ibus with its English keyboard; GTK and Qt
// programs with their modules, X programs (xterm) through XIM. Each test runs
// in a test desktop of its own that starts the input method before any
// program.
#include "desktopeditor.h"
#include "officeeditor.h"
#include "realpanels.h"
#include "speakingdesktopflow.h"
#include "terminalwindow.h"
#include "tracelines.h"
#include "windowmanagerdesktop.h"

#include <QDBusInterface>
#include <QDBusReply>

#include <memory>

using namespace std::chrono_literals;

namespace {

enum class Method { fcitx5, ibus };

// Unless this process runs on a desktop with input method `method`, runs the
// test again in a new one and says so.
bool ranOnDesktopWith(Method method) {
  const char* name = method == Method::fcitx5 ? "fcitx5" : "ibus";
  if (qEnvironmentVariable("VELTRINE_TEST_IM") == QLatin1String(name)) return false;
  qputenv("VELTRINE_TEST_IM", name);
  const WindowManagerDesktop::Run run = WindowManagerDesktop::runCurrentTestUnder(WindowManagerDesktop::current());
  qunsetenv("VELTRINE_TEST_IM");
  EXPECT_TRUE(run.passed) << run.output.toStdString();
  return true;
}

// fcitx5's state in the window that has the focus: 1 while the keyboard types
// (the input method off), 2 while Pinyin composes; 0 or less without one.
int fcitxState() {
  QDBusInterface controller(QStringLiteral("org.fcitx.Fcitx5"), QStringLiteral("/controller"),
                            QStringLiteral("org.fcitx.Fcitx.Controller1"));
  const QDBusReply<int> state = controller.call(QStringLiteral("State"));
  return state.isValid() ? state.value() : -1;
}

// Switches Pinyin on or off in the window in front as the user does, with
// Control+Space, once fcitx5 knows that window has the focus.
bool switchPinyin(bool on) {
  const int wanted = on ? 2 : 1;
  if (!waitUntil([] { return fcitxState() > 0; }, 10s)) return false;
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (fcitxState() == wanted) return true;
    if (!TestKeyboard::run({"key", "ctrl+space"})) return false;
    if (waitUntil([&] { return fcitxState() == wanted; }, 2s)) return true;
  }
  return false;
}

// A program of each kind whose keys go through the input method: mousepad (GTK 3),
// KWrite (KTextEditor, Qt 5) and xterm (XIM). Each holds a line of text the
// test reads back as the user sees it.
class Target {
 public:
  enum class Program { mousepad, kwrite, xterm };

  explicit Target(Program program) : program_(program) {}

  bool open() {
    switch (program_) {
      case Program::mousepad:
        editor_ = std::make_unique<DesktopEditor>(DesktopEditor::Program::mousepad);
        return editor_->open(QString());
      case Program::kwrite:
        office_ = std::make_unique<OfficeEditor>(OfficeEditor::Kind::kwrite);
        return office_->open(QString());
      case Program::xterm:
        terminal_ = std::make_unique<TerminalWindow>(TerminalWindow::Program::xterm);
        return terminal_->start(QStringLiteral("brave new world")) && terminal_->typeAtPrompt(QStringLiteral("echo "));
    }
    return false;
  }
  qint64 processId() const {
    if (editor_) return editor_->processId();
    return office_ ? office_->applicationPid() : terminal_->processId();
  }
  // What the user's text holds now (a terminal's command line after "echo ").
  QString text() {
    if (editor_) return editor_->saveAndRead().value_or(QString()).trimmed();
    if (office_) return office_->documentText().value_or(QString()).trimmed();
    return terminal_->commandLine().value_or(QString()).mid(5).trimmed();
  }

 private:
  Program program_;
  std::unique_ptr<DesktopEditor> editor_;
  std::unique_ptr<OfficeEditor> office_;
  std::unique_ptr<TerminalWindow> terminal_;
};

struct InputMethodTarget {
  const char* name;
  Target::Program program;
  Method method = Method::fcitx5;
};

void PrintTo(const InputMethodTarget& target, std::ostream* out) { *out << target.name; }

class DictationsThroughAnInputMethod : public SpeakingDesktopFlow,
                                       public ::testing::WithParamInterface<InputMethodTarget> {
 protected:
  // Opens the program and brings it in front.
  bool openTarget() { return target.open() && isInFront(target.processId()); }
  // Waits until the loan of PRIMARY for the paste has ended (read, or given
  // up): the keys that read xterm's command line would otherwise reach the
  // shell in the middle of the paste.
  bool pasteRead() {
    return waitUntil([&] { return traceLines().filter(QStringLiteral("read PRIMARY within")).size() > loans; }, 5s) &&
           ++loans;
  }

  int loans = 0;
  Target target{GetParam().program};
  // As in the running program: its windows show and hide at every request.
  RealPanels panels;
};

// Eight dictations, with fcitx5 two at a time with Pinyin off, then on, in
// turn, as a user who writes in two languages does: each is typed once, in
// order. The paste key goes through the input method whether or not it
// composes. (With Pinyin off, mousepad stamps its request for the clipboard
// with the time of an earlier key it took through fcitx5, which came before
// the answer was put on the clipboard.)
TEST_P(DictationsThroughAnInputMethod, AreEachTypedOnceInOrder) {
  const bool fcitx5 = GetParam().method == Method::fcitx5;
  if (ranOnDesktopWith(GetParam().method)) return;
  ASSERT_TRUE(openTarget());
  const QStringList words{"one", "two", "three", "four", "five", "six", "seven", "eight"};
  QString expected;
  QString last;
  int typed = 0;
  for (qsizetype round = 0; round < words.size(); ++round) {
    const QString& word = words[round];
    if (fcitx5) {
      ASSERT_TRUE(switchPinyin(round / 2 % 2 == 1)) << "round " << round;
    }
    answerNext("transcribe", "paste", word + u' ');
    ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressDictate));
    ASSERT_TRUE(pasteRead());
    if (waitUntil([&] { return (last = target.text()).contains(word); }, 5s)) ++typed;
    expected += word + u' ';
  }
  EXPECT_EQ(typed, words.size()) << "typed " << typed << " of " << words.size() << ": " << last.toStdString() << "\n"
                                 << traceLines().join(u'\n').toStdString();
  EXPECT_EQ(last, expected.trimmed());
  EXPECT_FALSE(RealPanels::resultShown());
}

// The user has typed "nihao", still composing (Pinyin shows it with its
// candidates), and dictates: the dictation lands, and the composition is not
// lost either: committed before it as the letters typed, or kept open and
// committed afterwards with Space as 你好.
using DictationsOverACompositionInFcitx5 = DictationsThroughAnInputMethod;

TEST_P(DictationsOverACompositionInFcitx5, LoseNeitherTheDictationNorTheComposition) {
  if (ranOnDesktopWith(Method::fcitx5)) return;
  ASSERT_TRUE(openTarget());
  ASSERT_TRUE(switchPinyin(true));
  ASSERT_TRUE(TestKeyboard::run({"type", "--delay", "30", "nihao"}));
  answerNext("transcribe", "paste", "Zebra quokka 4711");
  ASSERT_NO_FATAL_FAILURE(speakBetweenPresses(&pressDictate));
  ASSERT_TRUE(pasteRead());
  // Time for the paste to land before the Space that commits what is left.
  QString last;
  waitUntil([&] { return (last = target.text()).contains(QStringLiteral("4711")); }, 5s);
  ASSERT_TRUE(TestKeyboard::run({"key", "space"}));
  const auto bothKept = [&] {
    last = target.text();
    return last.contains(QStringLiteral("Zebra quokka 4711")) &&
           (last.contains(QStringLiteral("你好")) || QString(last).remove(u' ').contains(QStringLiteral("nihao")));
  };
  EXPECT_TRUE(waitUntil(bothKept, 10s)) << last.toStdString() << "\n" << traceLines().join(u'\n').toStdString();
}

const auto kFcitx5Targets = ::testing::Values(InputMethodTarget{"Mousepad", Target::Program::mousepad},
                                              InputMethodTarget{"KWrite", Target::Program::kwrite},
                                              InputMethodTarget{"Xterm", Target::Program::xterm});
const auto kName = [](const auto& info) { return std::string(info.param.name); };

INSTANTIATE_TEST_SUITE_P(Fcitx5, DictationsThroughAnInputMethod, kFcitx5Targets, kName);
INSTANTIATE_TEST_SUITE_P(Fcitx5, DictationsOverACompositionInFcitx5, kFcitx5Targets, kName);
// The same dictations through ibus with its English keyboard.
INSTANTIATE_TEST_SUITE_P(Ibus, DictationsThroughAnInputMethod,
                         ::testing::Values(InputMethodTarget{"Mousepad", Target::Program::mousepad, Method::ibus},
                                           InputMethodTarget{"KWrite", Target::Program::kwrite, Method::ibus},
                                           InputMethodTarget{"Xterm", Target::Program::xterm, Method::ibus}),
                         kName);

}  // namespace
