#include "onboarding/agreementtype.h"

#include "localization/appstrings.h"

QString rawValue(AgreementType type) {
  switch (type) {
    case AgreementType::terms:
      return QStringLiteral("terms");
    case AgreementType::privacy:
      return QStringLiteral("privacy");
  }
  return {};
}

QString title(AgreementType type) {
  switch (type) {
    case AgreementType::terms:
      return currentStrings().agreementTerms;
    case AgreementType::privacy:
      return currentStrings().agreementPrivacy;
  }
  return {};
}
