#include "mainwindow/confirmationdialog.h"

#include <QAbstractButton>
#include <QPushButton>

QMessageBox* askForConfirmation(QWidget* parent, const QString& title, const QString& message,
                                const QList<ConfirmationChoice>& choices, const QString& cancelText,
                                std::function<void(int)> onChoice) {
  auto* box = new QMessageBox(parent);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::WindowModal);
  box->setIcon(QMessageBox::Warning);
  box->setTextFormat(Qt::PlainText);
  box->setWindowTitle(title);
  box->setText(title);
  box->setInformativeText(message);
  QAbstractButton* cancel = box->addButton(cancelText, QMessageBox::RejectRole);
  box->setEscapeButton(cancel);
  QList<QAbstractButton*> buttons;
  for (const ConfirmationChoice& choice : choices) {
    buttons.append(
        box->addButton(choice.text, choice.destructive ? QMessageBox::DestructiveRole : QMessageBox::AcceptRole));
  }
  // A destructive answer is never the default: Return cancels.
  box->setDefaultButton(qobject_cast<QPushButton*>(cancel));
  QObject::connect(box, &QMessageBox::buttonClicked, box, [buttons, onChoice](QAbstractButton* pressed) {
    if (onChoice) onChoice(int(buttons.indexOf(pressed)));
  });
  box->open();
  return box;
}
