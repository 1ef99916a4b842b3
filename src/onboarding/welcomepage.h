#pragma once

#include <QWidget>

class NeonTitleLabel;
class QLabel;

// The first page of the flow: the application's icon, a welcome title and
// description, and one row for each of the three hotkey operations. Nothing
// on it reacts; the flow's Next button moves on.
class WelcomePage : public QWidget {
  Q_OBJECT

 public:
  explicit WelcomePage(QWidget* parent = nullptr);

 private:
  struct FeatureRow {
    QLabel* title;
    QLabel* description;
  };
  QWidget* featureRow(const QString& symbol, const QColor& color, FeatureRow& row);
  void retranslate();

  NeonTitleLabel* title_;
  QLabel* description_;
  FeatureRow features_[3];
};
