#include "officeeditor.h"

#include "atspitree.h"
#include "awaittask.h"
#include "testkeyboard.h"

#include "platform/frontapplication.h"

#include <QDir>
#include <QFile>

#include <csignal>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

// A first start's dialogs (the tip of the day, the welcome) would take the focus.
constexpr auto libreOfficeSettings = R"(<?xml version="1.0" encoding="UTF-8"?>
<oor:items xmlns:oor="http://openoffice.org/2001/registry" xmlns:xs="http://www.w3.org/2001/XMLSchema">
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="ShowTipOfTheDay" oor:op="fuse"><value>false</value></prop></item>
<item oor:path="/org.openoffice.Office.Common/Misc"><prop oor:name="FirstRun" oor:op="fuse"><value>false</value></prop></item>
</oor:items>
)";

bool writeFile(const QString& path, const QByteArray& contents) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size();
}

}  // namespace

OfficeEditor::~OfficeEditor() {
  if (process_.state() == QProcess::NotRunning) return;
  process_.closeWriteChannel();
  if (!process_.waitForFinished(5000)) ::kill(-pid_t(process_.processId()), SIGKILL);
  process_.waitForFinished(5000);
}

bool OfficeEditor::open(const QString& text) {
  if (!folder_.isValid() || !writeFile(documentPath(), text.toUtf8()) || !start()) return false;
  // In front, and the document on screen: keys typed before would go nowhere.
  // LibreOffice's splash screen comes first, from a process of its own.
  const auto inFront = [&] {
    const auto front = FrontApplication::current().frontmost();
    if (!front || ::getpgid(pid_t(front->pid)) != pid_t(process_.processId())) return false;
    applicationPid_ = front->pid;
    return kind_ != Kind::libreOfficeCalc ||
           !AtSpiTree::readApplication(applicationPid_).under(QStringLiteral("document spreadsheet")).nodes.isEmpty();
  };
  if (kind_ != Kind::libreOfficeCalc) return waitUntil([&] { return inFront() && documentText() == text; }, 90s);
  if (!waitUntil(inFront, 90s)) return false;
  QStringList keys{QStringLiteral("key"), QStringLiteral("F2")};
  if (!text.isEmpty()) keys << QStringLiteral("type") << text;
  return TestKeyboard::run(keys) && waitUntil([&] { return documentText() == text; }, 10s);
}

bool OfficeEditor::start() {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  // A fresh user: no earlier settings, sessions or recent files.
  environment.insert(QStringLiteral("XDG_CONFIG_HOME"), folder_.filePath(QStringLiteral("config")));
  environment.insert(QStringLiteral("XDG_DATA_HOME"), folder_.filePath(QStringLiteral("data")));
  environment.insert(QStringLiteral("XDG_CACHE_HOME"), folder_.filePath(QStringLiteral("cache")));
  QString program;
  QStringList arguments;
  if (kind_ == Kind::kate) {
    program = QStringLiteral("kate");
    arguments = {QStringLiteral("-n"), documentPath()};
  } else if (kind_ == Kind::kwrite) {
    program = QStringLiteral("kwrite");
    arguments = {documentPath()};
  } else {
    const QString profile = folder_.filePath(QStringLiteral("profile"));
    if (!QDir().mkpath(profile + QStringLiteral("/user")) ||
        !writeFile(profile + QStringLiteral("/user/registrymodifications.xcu"), libreOfficeSettings)) {
      return false;
    }
    environment.insert(QStringLiteral("SAL_USE_VCLPLUGIN"), QStringLiteral("gtk3"));
    program = QStringLiteral("libreoffice");
    arguments = {QStringLiteral("--norestore"), QStringLiteral("-env:UserInstallation=file://") + profile};
    if (kind_ == Kind::libreOfficeWriter) {
      arguments << QStringLiteral("--writer") << documentPath();
    } else {
      arguments << QStringLiteral("--calc");
    }
  }
  process_.setProcessEnvironment(environment);
  // Their chatter on the terminal says nothing about the test.
  process_.setStandardOutputFile(QProcess::nullDevice());
  process_.setStandardErrorFile(QProcess::nullDevice());
  // A shell in a process group of its own starts the editor and kills the
  // whole group once its input closes: when this object goes, and also when
  // the test process is killed (a test that ran out of time), so that no
  // editor stays in front of the tests that follow.
  process_.setChildProcessModifier([] { ::setsid(); });
  process_.start(QStringLiteral("/bin/sh"),
                 QStringList{QStringLiteral("-c"), QStringLiteral(R"("$@" </dev/null & read -r _; kill -KILL 0)"),
                             QStringLiteral("sh"), program} +
                     arguments);
  return process_.waitForStarted(20000);
}

std::optional<OfficeEditor::Shown> OfficeEditor::shown() const {
  if (applicationPid_ == 0) return std::nullopt;
  const AtSpiTree tree = AtSpiTree::readApplication(applicationPid_);
  if (kind_ == Kind::kate || kind_ == Kind::kwrite) {
    for (const AtSpiTree::Node& node : tree.withRole(QStringLiteral("text"))) {
      if (node.name == QStringLiteral("document.txt")) return Shown{node.text, node.selection};
    }
    return std::nullopt;
  }
  // Calc's cell in edit mode shows its text beside the sheet, whose cells
  // are not read.
  const QString documentRole =
      kind_ == Kind::libreOfficeCalc ? QStringLiteral("document spreadsheet") : QStringLiteral("document text");
  const QList<AtSpiTree::Node> paragraphs = tree.under(documentRole).withRole(QStringLiteral("paragraph"));
  if (paragraphs.isEmpty()) return std::nullopt;
  Shown document;
  QStringList lines;
  for (const AtSpiTree::Node& node : paragraphs) {
    lines << node.text;
    if (document.selection.isEmpty()) document.selection = node.selection;
  }
  document.text = lines.join(u'\n');
  return document;
}

std::optional<QString> OfficeEditor::documentText() const {
  const std::optional<Shown> document = shown();
  return document ? std::optional(document->text) : std::nullopt;
}
