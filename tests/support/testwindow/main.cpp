// veltrine-testwindow: a second application on the test desktop for tests that
// drive the keyboard, the selection or the clipboard of "the application in
// front": one window, "Veltrine test window", holding one focused text field.
// tests/support/testwindow.h starts and drives it.
//
// Commands arrive as UTF-8 lines on standard input; each is answered, once
// carried out, with "ok <command word>" (or "error <what>"):
//   text <text>          replace the field's text (cursor at the end)
//   select <start> <end> select characters start..end of the field
//   state                report "text ..." and "selection <start> <end>"
//   setclipboard <format> <base64> [<format> <base64>...]   own the clipboard
//   clipboard            report "clipboard <format> <base64>" per format offered, or "clipboard empty"
//   hang <milliseconds>  answer, then hold the window's thread that long (a hung
//                        application: its bus thread still answers the bus)
//   hangafterread <milliseconds>   the same once the field's text has next been
//                        read through accessibility, after answering that read
//                        (needs VELTRINE_TESTWINDOW_OWN_ACCESSIBILITY=1 at start:
//                        the field then answers accessibility itself, as
//                        applications with their own widgets do)
//   hangatselection <milliseconds>   the same when the field's selection is
//                        next asked about through accessibility, that question
//                        left unanswered (needs the same)
//   quit                 exit (so does the end of standard input)
// Events go to standard output as they happen: "ready" (shown, active, field
// focused), "key press|release <X keysym> <X keycode>", "text <current text>",
// "focus in", "focus out".
#include <QAccessibleWidget>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <cstdio>
#include <utility>

#include <unistd.h>

namespace {

void report(const QString& line) {
  std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
  std::fflush(stdout);
}

// Milliseconds to hold the window's thread once the field's text has next been
// read through accessibility; 0 for none.
unsigned long hangAfterNextRead = 0;
// Milliseconds to hold the window's thread in the next question about the
// field's selection; 0 for none.
unsigned long hangAtNextSelection = 0;

// The window's text field, a class of its own so that it can answer
// accessibility itself.
class Field : public QLineEdit {
  Q_OBJECT

 public:
  using QLineEdit::QLineEdit;
};

// What the field shows to accessibility: a one-line editable text and its
// selection, as Qt's own line edit shows them.
class FieldAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit FieldAccessible(Field* field) : QAccessibleWidget(field, QAccessible::EditableText) {}

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.selectableText = true;
    return state;
  }
  QString text(QAccessible::Text kind) const override {
    return kind == QAccessible::Value ? field()->text() : QAccessibleWidget::text(kind);
  }

  void selection(int index, int* start, int* end) const override {
    const bool selected = index == 0 && field()->hasSelectedText();
    *start = selected ? field()->selectionStart() : 0;
    *end = selected ? field()->selectionEnd() : 0;
  }
  int selectionCount() const override {
    if (hangAtNextSelection > 0) QThread::msleep(std::exchange(hangAtNextSelection, 0));
    return field()->hasSelectedText() ? 1 : 0;
  }
  void addSelection(int start, int end) override { setSelection(0, start, end); }
  void removeSelection(int) override { field()->deselect(); }
  void setSelection(int, int start, int end) override { field()->setSelection(start, end - start); }
  int cursorPosition() const override { return field()->cursorPosition(); }
  void setCursorPosition(int position) override { field()->setCursorPosition(position); }
  QString text(int start, int end) const override {
    if (hangAfterNextRead > 0 && end > start) {
      // Answered first: the hang starts once this call has returned.
      QTimer::singleShot(0, [milliseconds = hangAfterNextRead] { QThread::msleep(milliseconds); });
      hangAfterNextRead = 0;
    }
    return field()->text().mid(start, end - start);
  }
  int characterCount() const override { return int(field()->text().size()); }
  QRect characterRect(int) const override { return {}; }
  int offsetAtPoint(const QPoint&) const override { return -1; }
  void scrollToSubstring(int, int) override {}
  QString attributes(int offset, int* start, int* end) const override {
    *start = *end = offset;
    return {};
  }

 private:
  Field* field() const { return static_cast<Field*>(widget()); }
};

QAccessibleInterface* fieldAccessible(const QString& className, QObject* object) {
  if (className != QLatin1String("Field")) return nullptr;
  return new FieldAccessible(static_cast<Field*>(object));
}

class TestWindow : public QWidget {
 public:
  TestWindow() {
    setWindowTitle(QStringLiteral("Veltrine test window"));
    resize(420, 80);
    (new QVBoxLayout(this))->addWidget(field_);
    field_->installEventFilter(this);
    connect(field_, &QLineEdit::textChanged, [](const QString& text) { report(QStringLiteral("text ") + text); });
    connect(new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this), &QSocketNotifier::activated, this,
            [this] { readCommands(); });
  }

  void bringToFront() {
    show();
    activateWindow();
    field_->setFocus();
  }
  bool ready() const { return isActiveWindow() && field_->hasFocus(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    const auto type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
      const auto* key = static_cast<QKeyEvent*>(event);
      report(QStringLiteral("key %1 %2 %3")
                 .arg(type == QEvent::KeyPress ? QStringLiteral("press") : QStringLiteral("release"))
                 .arg(key->nativeVirtualKey())
                 .arg(key->nativeScanCode()));
    } else if (type == QEvent::FocusIn || type == QEvent::FocusOut) {
      report(type == QEvent::FocusIn ? QStringLiteral("focus in") : QStringLiteral("focus out"));
    }
    return QWidget::eventFilter(watched, event);
  }

 private:
  void readCommands() {
    char chunk[4096];
    const ssize_t count = ::read(STDIN_FILENO, chunk, sizeof chunk);
    if (count <= 0) return QApplication::quit();
    pending_.append(chunk, static_cast<qsizetype>(count));
    for (qsizetype end; (end = pending_.indexOf('\n')) >= 0; pending_.remove(0, end + 1))
      run(QString::fromUtf8(pending_.left(end)));
  }

  void run(const QString& line) {
    const QString verb = line.section(QLatin1Char(' '), 0, 0);
    const QStringList words = line.section(QLatin1Char(' '), 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (verb == QLatin1String("text")) {
      field_->setText(line.section(QLatin1Char(' '), 1));
    } else if (verb == QLatin1String("select")) {
      field_->setSelection(words.value(0).toInt(), words.value(1).toInt() - words.value(0).toInt());
    } else if (verb == QLatin1String("state")) {
      report(QStringLiteral("text ") + field_->text());
      const int start = field_->hasSelectedText() ? field_->selectionStart() : field_->cursorPosition();
      report(QStringLiteral("selection %1 %2").arg(start).arg(field_->hasSelectedText() ? field_->selectionEnd() : start));
    } else if (verb == QLatin1String("setclipboard")) {
      auto* data = new QMimeData;
      for (qsizetype i = 0; i + 1 < words.size(); i += 2)
        data->setData(words[i], QByteArray::fromBase64(words[i + 1].toLatin1()));
      QApplication::clipboard()->setMimeData(data);
    } else if (verb == QLatin1String("clipboard")) {
      const QMimeData* data = QApplication::clipboard()->mimeData();
      const QStringList formats = data ? data->formats() : QStringList();
      if (formats.isEmpty()) report(QStringLiteral("clipboard empty"));
      for (const QString& format : formats)
        report(QStringLiteral("clipboard ") + format + QLatin1Char(' ') + QString::fromLatin1(data->data(format).toBase64()));
    } else if (verb == QLatin1String("hang")) {
      const unsigned long milliseconds = words.value(0).toULong();
      QTimer::singleShot(0, [milliseconds] { QThread::msleep(milliseconds); });
    } else if (verb == QLatin1String("hangafterread")) {
      hangAfterNextRead = words.value(0).toULong();
    } else if (verb == QLatin1String("hangatselection")) {
      hangAtNextSelection = words.value(0).toULong();
    } else if (verb == QLatin1String("quit")) {
      report(QStringLiteral("ok quit"));
      return QApplication::quit();
    } else {
      return report(QStringLiteral("error unknown command: ") + verb);
    }
    report(QStringLiteral("ok ") + verb);
  }

  QLineEdit* field_ = new Field(this);
  QByteArray pending_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (qEnvironmentVariableIntValue("VELTRINE_TESTWINDOW_OWN_ACCESSIBILITY") == 1) QAccessible::installFactory(fieldAccessible);
  TestWindow window;
  window.bringToFront();
  QTimer poll;  // says "ready" once the window really has the keyboard
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (!window.ready()) return;
    poll.stop();
    report(QStringLiteral("ready"));
  });
  poll.start(10);
  return QApplication::exec();
}

#include "main.moc"
