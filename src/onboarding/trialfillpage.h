#pragma once

#include "onboarding/trialpageframe.h"

#include <QMetaObject>

class QLabel;
class RecordingResultStore;
class TrialField;

// A practice page whose card is a field that takes the latest result. While
// the flow is shown the request flow leaves results on the clipboard only,
// so the page puts each non-empty result into its field itself, replacing
// whatever was there (also a result equal to the one before). Which request
// produced it does not matter here; the flow judges the exercise.
class TrialFillPage : public TrialPageFrame {
  Q_OBJECT

 public:
  QString fieldText() const;
  TrialField* field() const { return field_; }
  // The green line under the field that repeats its text, when the page has one.
  QLabel* resultEcho() const { return echoText_; }

 protected:
  struct FieldTexts {
    QString label;
    QString placeholder;
  };

  TrialFillPage(OnboardingStep step, const QColor& accent, const QString& icon, HotKeyCombo combo, bool isDone,
                RecordingResultStore& results, bool withEcho, QWidget* parent);

  virtual FieldTexts fieldTexts() const = 0;
  void retranslateCard() override;

  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void takeResult(const QString& result);
  void showEcho();

  RecordingResultStore& results_;
  TrialField* field_;
  QLabel* fieldLabel_;
  QWidget* echo_ = nullptr;
  QLabel* echoText_ = nullptr;
  QMetaObject::Connection subscription_;
};
