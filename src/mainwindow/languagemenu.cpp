#include "mainwindow/languagemenu.h"

#include "localization/appstrings.h"
#include "localization/languagemanager.h"
#include "theme/fonts.h"
#include "theme/palette.h"
#include "theme/symbolimage.h"

#include <QAbstractButton>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <cmath>

namespace {

// One language: its own name, and for the current language a check mark on a
// faint cyan ground. Reads the current language at each painting.
class LanguageRow : public QAbstractButton {
 public:
  LanguageRow(AppLanguage language, QWidget* parent) : QAbstractButton(parent), language_(language) {
    setText(displayName(language));
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  }

  QSize sizeHint() const override {
    const QFontMetricsF metrics(rajdhaniSemiBold(13));
    const qreal height = std::max(metrics.height(), SymbolImage::boxSide(11)) + 16;
    return QSize(int(std::ceil(metrics.horizontalAdvance(text()) + 28 + 10 + SymbolImage::boxSide(11))),
                 int(std::ceil(height)));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool current = LanguageManager::shared().current() == language_;
    if (current) {
      QPainterPath ground;
      ground.addRoundedRect(QRectF(rect()), 5, 5);
      painter.fillPath(ground, Palette::withOpacity(Palette::neonCyan, 0.1));
    }
    const QRectF inner = QRectF(rect()).adjusted(14, 8, -14, -8);
    painter.setFont(rajdhaniSemiBold(13));
    painter.setPen(current ? Palette::neonCyan : Palette::cyberTextSecondary);
    painter.drawText(inner, Qt::AlignLeft | Qt::AlignVCenter, text());
    if (current) {
      const qreal side = SymbolImage::boxSide(11);
      SymbolImage::paint(painter, QRectF(inner.right() - side, inner.center().y() - side / 2, side, side),
                         QStringLiteral("checkmark"), Palette::neonCyan);
    }
  }

 private:
  AppLanguage language_;
};

}  // namespace

LanguageMenu::LanguageMenu(QWidget* parent) : QWidget(parent) {
  setFixedWidth(menuWidth);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(10, 10, 10, 10);
  column->setSpacing(4);
  for (AppLanguage language : allAppLanguages()) {
    auto* row = new LanguageRow(language, this);
    connect(row, &QAbstractButton::clicked, this, [this, language] { Q_EMIT languageChosen(language); });
    column->addWidget(row);
    rows_.append(row);
  }
  setAccessibleName(currentStrings().languageLabel);
  connect(&LanguageManager::shared(), &LanguageManager::currentChanged, this, [this] {
    setAccessibleName(currentStrings().languageLabel);
    update();
  });
}

QAbstractButton* LanguageMenu::row(AppLanguage language) const { return rows_.value(int(language)); }
