// veltrine-testwindow: a second application on the test desktop for tests that
// drive the keyboard, the selection or the clipboard of "the application in
// front". One window, "Veltrine test window", holding one focused text field.
// Start it with the test desktop's DISPLAY (and QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
// so that it is reachable through AT-SPI); tests/support/testwindow.h drives it.
//
// Protocol: UTF-8 lines. Commands arrive on standard input, one per line; each
// is answered, once carried out, with "ok <command word>" (or "error <what>").
//   text <text>          replace the field's text (cursor at the end)
//   select <start> <end> select characters start..end of the field
//   focus                raise and activate the window, focus the field
//   state                report "text ..." and "selection <start> <end>"
//   readonly on|off      make the field read-only, or editable again
//   setclipboard <format> <base64> [<format> <base64>...]
//                        own the clipboard, offering those formats and data
//   clipboard            report the clipboard: "clipboard <format> <base64>"
//                        for each format it offers, or "clipboard empty"
//   quit                 exit (so does the end of standard input)
// Events go to standard output, one per line, as they happen:
//   ready                            once: shown, active and the field focused
//   key press <keysym> <keycode>     a key event the field received (X keysym
//   key release <keysym> <keycode>   and X keycode, both decimal)
//   text <current text>              the field's text changed
//   selection <start> <end>          (only in answer to "state")
//   clipboard ...                    (only in answer to "clipboard")
//   focus in / focus out             the field gained or lost the focus
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QSocketNotifier>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>

#include <unistd.h>

namespace {

void report(const QString& line) {
  const QByteArray bytes = line.toUtf8() + '\n';
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
  std::fflush(stdout);
}

// Reports what reaches the field.
class FieldObserver : public QObject {
 public:
  using QObject::QObject;

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
    return QObject::eventFilter(watched, event);
  }
};

class TestWindow : public QWidget {
 public:
  TestWindow() {
    setWindowTitle(QStringLiteral("Veltrine test window"));
    resize(420, 80);
    auto* layout = new QVBoxLayout(this);
    field_ = new QLineEdit(this);
    layout->addWidget(field_);
    field_->installEventFilter(new FieldObserver(this));
    connect(field_, &QLineEdit::textChanged, this, [](const QString& text) { report(QStringLiteral("text ") + text); });

    stdin_ = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(stdin_, &QSocketNotifier::activated, this, [this] { readCommands(); });
  }

  void bringToFront() {
    show();
    raise();
    activateWindow();
    field_->setFocus();
  }

  // Says "ready" once the window really has the keyboard.
  void announceWhenReady() {
    auto* poll = new QTimer(this);
    connect(poll, &QTimer::timeout, this, [this, poll] {
      if (!isActiveWindow() || !field_->hasFocus()) return;
      poll->deleteLater();
      report(QStringLiteral("ready"));
    });
    poll->start(10);
  }

 private:
  void readCommands() {
    char chunk[4096];
    const ssize_t count = ::read(STDIN_FILENO, chunk, sizeof chunk);
    if (count <= 0) {
      QApplication::quit();
      return;
    }
    pending_.append(chunk, static_cast<qsizetype>(count));
    qsizetype end;
    while ((end = pending_.indexOf('\n')) >= 0) {
      const QString line = QString::fromUtf8(pending_.left(end));
      pending_.remove(0, end + 1);
      run(line);
    }
  }

  void run(const QString& line) {
    const QString verb = line.section(QLatin1Char(' '), 0, 0);
    const QString rest = line.section(QLatin1Char(' '), 1);
    if (verb == QLatin1String("text")) {
      field_->setText(rest);
    } else if (verb == QLatin1String("select")) {
      const int start = rest.section(QLatin1Char(' '), 0, 0).toInt();
      const int end = rest.section(QLatin1Char(' '), 1, 1).toInt();
      field_->setSelection(start, end - start);
    } else if (verb == QLatin1String("focus")) {
      bringToFront();
    } else if (verb == QLatin1String("state")) {
      report(QStringLiteral("text ") + field_->text());
      const bool selected = field_->hasSelectedText();
      const int start = selected ? field_->selectionStart() : field_->cursorPosition();
      report(QStringLiteral("selection %1 %2").arg(start).arg(selected ? field_->selectionEnd() : start));
    } else if (verb == QLatin1String("readonly")) {
      field_->setReadOnly(rest == QLatin1String("on"));
    } else if (verb == QLatin1String("setclipboard")) {
      auto* data = new QMimeData;
      const QStringList words = rest.split(QLatin1Char(' '), Qt::SkipEmptyParts);
      for (qsizetype i = 0; i + 1 < words.size(); i += 2)
        data->setData(words[i], QByteArray::fromBase64(words[i + 1].toLatin1()));
      QApplication::clipboard()->setMimeData(data);
    } else if (verb == QLatin1String("clipboard")) {
      reportClipboard();
    } else if (verb == QLatin1String("quit")) {
      report(QStringLiteral("ok quit"));
      QApplication::quit();
      return;
    } else {
      report(QStringLiteral("error unknown command: ") + verb);
      return;
    }
    report(QStringLiteral("ok ") + verb);
  }

  void reportClipboard() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    const QStringList formats = data ? data->formats() : QStringList();
    if (formats.isEmpty()) report(QStringLiteral("clipboard empty"));
    for (const QString& format : formats)
      report(QStringLiteral("clipboard ") + format + QLatin1Char(' ') + QString::fromLatin1(data->data(format).toBase64()));
  }

  QLineEdit* field_;
  QSocketNotifier* stdin_;
  QByteArray pending_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  TestWindow window;
  window.bringToFront();
  window.announceWhenReady();
  return QApplication::exec();
}
