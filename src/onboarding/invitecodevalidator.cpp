#include "onboarding/invitecodevalidator.h"

#include "onboarding/invitecodeformat.h"

QValidator::State InviteCodeValidator::validate(QString& input, int& position) const {
  const QString formatted = InviteCodeFormat::format(input);
  if (formatted != input) {
    position = std::min(int(InviteCodeFormat::format(input.left(position)).size()), int(formatted.size()));
    input = formatted;
  }
  return Acceptable;
}

void InviteCodeValidator::fixup(QString& input) const { input = InviteCodeFormat::format(input); }
