#include "pipeline/permissionhelpdialog.h"

#include "localization/desktophelpstrings.h"

#include <QMessageBox>
#include <QPointer>

namespace {

QPointer<QMessageBox>& openDialog() {
  static QPointer<QMessageBox> dialog;
  return dialog;
}

}  // namespace

void PermissionHelpDialog::explainMissingTrust(const QString& reason) {
  const DesktopHelpStrings& strings = currentDesktopHelpStrings();
  show(strings.trustTitle, strings.trustText.arg(reason));
}

void PermissionHelpDialog::explainNoSettingsProgram(SettingsLauncher::Pane pane) {
  const DesktopHelpStrings& strings = currentDesktopHelpStrings();
  if (pane == SettingsLauncher::Pane::microphone) {
    show(strings.microphoneSettingsTitle, strings.microphoneSettingsText);
  } else {
    show(strings.accessibilitySettingsTitle, strings.accessibilitySettingsText);
  }
}

QMessageBox* PermissionHelpDialog::current() { return openDialog().data(); }

void PermissionHelpDialog::show(const QString& title, const QString& text) {
  QPointer<QMessageBox>& dialog = openDialog();
  if (!dialog) {
    dialog = new QMessageBox(QMessageBox::Information, title, text, QMessageBox::Ok);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setModal(false);
  }
  dialog->setWindowTitle(title);
  dialog->setText(text);
  dialog->show();
  dialog->raise();
  dialog->activateWindow();
}
