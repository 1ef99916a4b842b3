#include "pipeline/flowalert.h"

#include "localization/appstrings.h"

#include <QCoroSignal>
#include <QMessageBox>
#include <QPointer>

namespace {

FlowAlert::Presenter& presenterForTesting() {
  static FlowAlert::Presenter presenter;
  return presenter;
}

QCoro::Task<void> showMessageBox(QString message) {
  const AppStrings& strings = currentStrings();
  QPointer<QMessageBox> box = new QMessageBox(QMessageBox::Warning, strings.appNameFull, strings.appNameFull);
  box->setInformativeText(message);
  box->setStandardButtons(QMessageBox::NoButton);
  box->addButton(strings.btnDone, QMessageBox::AcceptRole);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::ApplicationModal);
  // A tray program has no window in front: the alert must come up on its own.
  box->setWindowFlag(Qt::WindowStaysOnTopHint);
  box->open();
  box->raise();
  box->activateWindow();
  QMessageBox* shown = box.data();
  co_await qCoro(shown, &QMessageBox::finished);
}

}  // namespace

QCoro::Task<void> FlowAlert::show(QString message) {
  if (const Presenter& presenter = presenterForTesting()) {
    co_await presenter(message);
    co_return;
  }
  co_await showMessageBox(message);
}

void FlowAlert::setPresenterForTesting(Presenter presenter) { presenterForTesting() = std::move(presenter); }
