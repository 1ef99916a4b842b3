#pragma once

#include "onboarding/agreementtype.h"

#include <QWidget>

class LinkButton;
class QLabel;

// "Terms of Service and Privacy Policy" under the sign-in form: two small
// underlined links that ask for the document to be shown.
class AgreementFooter : public QWidget {
  Q_OBJECT

 public:
  explicit AgreementFooter(QWidget* parent = nullptr);

  LinkButton* termsLink() const { return terms_; }
  LinkButton* privacyLink() const { return privacy_; }

 Q_SIGNALS:
  void requested(AgreementType type);

 private:
  void retranslate();

  LinkButton* terms_;
  QLabel* and_;
  LinkButton* privacy_;
};
