#include "app/revealdownloaddriver.h"

#include "localization/appstrings.h"
#include "platform/urlopener.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QUrl>

namespace {

QPointer<QMessageBox>& openNote() {
  static QPointer<QMessageBox> note;
  return note;
}

}  // namespace

void RevealDownloadDriver::showDownloadedUpdate(const AppcastItem&, const QString& path) {
  if (UrlOpener::current().open(QUrl::fromLocalFile(QFileInfo(path).absolutePath()))) return;
  const AppStrings& strings = currentStrings();
  QPointer<QMessageBox>& note = openNote();
  if (!note) {
    note = new QMessageBox(QMessageBox::Information, QString(), QString(), QMessageBox::Ok);
    note->setAttribute(Qt::WA_DeleteOnClose);
    note->setModal(false);
    note->setTextFormat(Qt::PlainText);
    // The path can be selected and copied.
    note->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  }
  note->setWindowTitle(strings.updateSavedTitle);
  note->setText(strings.updateSavedText.arg(QDir::toNativeSeparators(path)));
  note->show();
  note->raise();
  note->activateWindow();
}

QMessageBox* RevealDownloadDriver::note() { return openNote().data(); }
