#include "pipeline/permissionhelpdialog.h"

#include <QMessageBox>
#include <QPointer>

namespace {

QPointer<QMessageBox>& openDialog() {
  static QPointer<QMessageBox> dialog;
  return dialog;
}

}  // namespace

void PermissionHelpDialog::explainMissingTrust(const QString& reason) {
  show(QStringLiteral("Veltrine needs the desktop's trust"),
       QStringLiteral("Veltrine cannot listen to its hotkeys or type into other applications: %1.\n\n"
                      "Log in to an X11 session (or one with XWayland) and start Veltrine again.")
           .arg(reason));
}

void PermissionHelpDialog::explainNoSettingsProgram(SettingsLauncher::Pane pane) {
  if (pane == SettingsLauncher::Pane::microphone) {
    show(QStringLiteral("Microphone settings"),
         QStringLiteral("No sound settings program was found on this desktop.\n\n"
                        "Make sure a microphone is connected, not muted and chosen as the default input, "
                        "for example with the PulseAudio volume control (pavucontrol)."));
  } else {
    show(QStringLiteral("Accessibility settings"),
         QStringLiteral("No accessibility settings program was found on this desktop.\n\n"
                        "Veltrine needs an X11 session (or XWayland) with the XTEST and XInput 2 extensions "
                        "to listen to its hotkeys and to type into other applications."));
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
