#include "mainwindow/retentionpicker.h"

#include "mainwindow/stylesheetcolor.h"
#include "theme/fonts.h"
#include "theme/palette.h"

#include <QAbstractItemView>
#include <QSignalBlocker>

RetentionPicker::RetentionPicker(QWidget* parent) : QComboBox(parent) {
  setFixedWidth(pickerWidth);
  setFont(rajdhaniSemiBold(12));
  setCursor(Qt::PointingHandCursor);
  setStyleSheet(QStringLiteral("QComboBox { color: %1; background: %2; border: 1px solid %3; border-radius: 6px;"
                               " padding: 3px 8px; }"
                               "QComboBox::drop-down { border: none; width: 16px; }"
                               "QComboBox QAbstractItemView { color: %4; background: %5; border: 1px solid %3;"
                               " selection-background-color: %2; selection-color: %1; outline: none; }")
                    .arg(styleSheetColor(Palette::neonCyan),
                         styleSheetColor(Palette::withOpacity(Palette::neonCyan, 0.12)),
                         styleSheetColor(Palette::withOpacity(Palette::neonCyan, 0.35)),
                         styleSheetColor(Palette::cyberTextPrimary), styleSheetColor(Palette::cyberBgDeep)));
  retranslate();
  connect(this, &QComboBox::activated, this,
          [this](int index) { Q_EMIT policyChosen(allRetentionPolicies().at(size_t(index))); });
}

RetentionPolicy RetentionPicker::policy() const {
  return allRetentionPolicies().at(size_t(std::max(0, currentIndex())));
}

void RetentionPicker::setPolicy(RetentionPolicy policy) {
  const QSignalBlocker quiet(this);
  const auto& policies = allRetentionPolicies();
  setCurrentIndex(int(std::find(policies.begin(), policies.end(), policy) - policies.begin()));
}

void RetentionPicker::retranslate() {
  const RetentionPolicy shown = count() > 0 ? policy() : RetentionPolicy::forever;
  const QSignalBlocker quiet(this);
  clear();
  for (RetentionPolicy policy : allRetentionPolicies()) addItem(displayName(policy), rawValue(policy));
  setPolicy(shown);
}
