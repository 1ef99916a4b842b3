#pragma once

#include "pipeline/retentionpolicy.h"

#include <QComboBox>

// The drop-down menu of the five retention policies, labelled in the current
// interface language (the labels follow a change of language), showing the
// policy it is given. A choice of the user is reported, never one made here.
class RetentionPicker : public QComboBox {
  Q_OBJECT

 public:
  explicit RetentionPicker(QWidget* parent = nullptr);

  RetentionPolicy policy() const;
  void setPolicy(RetentionPolicy policy);
  // Builds the five entries again in the current language.
  void retranslate();

  static constexpr int pickerWidth = 100;

 Q_SIGNALS:
  void policyChosen(RetentionPolicy policy);
};
