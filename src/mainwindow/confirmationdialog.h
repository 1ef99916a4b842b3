#pragma once

#include <QList>
#include <QMessageBox>
#include <QString>

#include <functional>

// A question put to the user before something is deleted: the desktop's own
// alert, modal to the window of `parent`, that closes with any answer.
// `onChoice` gets the index in `choices` of the button pressed, or -1 for
// the cancel button (Escape presses it); closing the alert answers nothing.
// Returns the alert, which deletes itself once answered.
struct ConfirmationChoice {
  QString text;
  bool destructive = false;
};

QMessageBox* askForConfirmation(QWidget* parent, const QString& title, const QString& message,
                                const QList<ConfirmationChoice>& choices, const QString& cancelText,
                                std::function<void(int)> onChoice);
