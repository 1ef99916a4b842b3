#pragma once

#include <QValidator>

// Keeps an invite-code field formatted as the user types or pastes
// (InviteCodeFormat::format), with the caret after the same characters it
// followed. Every text is acceptable once formatted; completeness is the
// submit button's business.
class InviteCodeValidator : public QValidator {
  Q_OBJECT

 public:
  using QValidator::QValidator;

  State validate(QString& input, int& position) const override;
  void fixup(QString& input) const override;
};
