#include "app/downloadrevealer.h"

#include "localization/appstrings.h"
#include "platform/urlopener.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QUrl>

namespace DownloadRevealer {
namespace {

QPointer<QMessageBox>& openNote() {
  static QPointer<QMessageBox> note;
  return note;
}

}  // namespace

void reveal(const QString& path, Reason reason, const QString& detail) {
  // Where the desktop cannot show the folder, the note still names the file.
  UrlOpener::current().open(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
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
  const QString shownPath = QDir::toNativeSeparators(path);
  switch (reason) {
    case Reason::cannotInstallHere:
      note->setWindowTitle(strings.updateSavedTitle);
      note->setText(strings.updateSavedText.arg(shownPath));
      break;
    case Reason::unverified:
      note->setWindowTitle(strings.updateSavedTitle);
      note->setText(strings.updateUnverifiedText.arg(shownPath));
      break;
    case Reason::installFailed:
      note->setWindowTitle(strings.updateInstallFailedTitle);
      note->setText(strings.updateInstallFailedText.arg(shownPath));
      break;
  }
  note->setIcon(reason == Reason::cannotInstallHere ? QMessageBox::Information : QMessageBox::Warning);
  // The reason comes from the system's tools, in English: behind "Show Details".
  note->setDetailedText(detail);
  note->show();
  note->raise();
  note->activateWindow();
}

QMessageBox* note() { return openNote().data(); }

}  // namespace DownloadRevealer
