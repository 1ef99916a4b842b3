#include "theme/cyberdivider.h"
#include "theme/cyberdividerline.h"
#include "theme/cybertextfield.h"
#include "theme/fonttables.h"
#include "theme/neonbutton.h"
#include "theme/neoncard.h"
#include "theme/neoncardstyle.h"
#include "theme/neontitlelabel.h"
#include "theme/palette.h"

#include "paintprobe.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QRawFont>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// Renders the children of `parent` as it shows them, glows included, on a
// transparent background so the paint can be read back.
QImage shown(QWidget& parent) {
  parent.show();
  QImage image(parent.size(), QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  parent.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
  return image;
}

TEST(NeonButton, IsAsLargeAsItsLabelAndPadding) {
  NeonButton button(QStringLiteral("SAVE"));
  const QFontMetricsF metrics(NeonButtonStyle::font());
  EXPECT_EQ(button.sizeHint().width(), qCeil(metrics.horizontalAdvance("SAVE") + 40));
  EXPECT_EQ(button.sizeHint().height(), qCeil(metrics.height() + 20));

  NeonButton withSymbol(QStringLiteral("SAVE"));
  withSymbol.setLeadingSymbol(QStringLiteral("plus"), 13);
  withSymbol.setSpacing(8);
  EXPECT_EQ(withSymbol.sizeHint().width(), qCeil(metrics.horizontalAdvance("SAVE") + 40 + 16 + 8));
}

TEST(NeonButton, PressingDeepensTheFillAndDisablingDimsEverything) {
  QWidget parent;
  parent.resize(200, 80);
  auto* button = new NeonButton(QStringLiteral("GO"), Palette::neonRed, &parent);
  button->setGeometry(20, 20, 160, 40);
  const auto fillAlpha = [&] { return alphaAt(shown(parent), 30, 40); };
  const int rest = fillAlpha();
  button->setDown(true);
  const int pressed = fillAlpha();
  EXPECT_GT(pressed, rest);
  button->setDown(false);
  const long long enabledInk = totalAlpha(shown(parent));
  button->setEnabled(false);
  EXPECT_LT(totalAlpha(shown(parent)), enabledInk / 2);
  button->setDown(true);
  EXPECT_LT(fillAlpha(), rest);
}

TEST(NeonButton, GlowsPastItsOwnEdges) {
  QWidget parent;
  parent.resize(200, 80);
  auto* button = new NeonButton(QStringLiteral("GO"), Palette::neonCyan, &parent);
  button->setGeometry(20, 20, 160, 40);
  const QImage image = shown(parent);
  EXPECT_GT(alphaAt(image, 100, 17), 0);  // above the button
  EXPECT_EQ(alphaAt(image, 100, 2), 0);   // but not far
}

TEST(CyberTextField, TypesInRajdhaniMediumOnItsDarkField) {
  QWidget parent;
  parent.resize(240, 80);
  CyberTextField& field = *new CyberTextField(Palette::neonGreen, &parent);
  EXPECT_EQ(FontTables::postScriptName(QRawFont::fromFont(field.font(), QFontDatabase::Latin)), "Rajdhani-Medium");
  EXPECT_EQ(field.font().pixelSize(), 16);
  EXPECT_EQ(field.palette().color(QPalette::Text), Palette::cyberTextPrimary);
  EXPECT_EQ(field.palette().color(QPalette::PlaceholderText), Palette::cyberTextTertiary);
  // 16 + 12 of padding around the text line.
  EXPECT_GE(field.sizeHint().height(), qCeil(QFontMetricsF(field.font()).height()) + 24);

  field.setGeometry(20, 20, 200, 44);
  const QImage before = shown(parent);
  field.setFocus();
  const QImage focused = shown(parent);
  // The field's own paint, away from the text: black at 0.35 whether focused or not.
  EXPECT_NEAR(alphaAt(before, 200, 50), qRound(0.35 * 255), 12);
  EXPECT_EQ(before.pixel(200, 50), focused.pixel(200, 50));
  EXPECT_GT(alphaAt(before, 120, 19), 0);  // the faint glow just above it
}

TEST(NeonCard, AddsNoPaddingGlowsFromItsShapeAndShowsGlowingChildren) {
  QWidget parent;
  parent.resize(300, 140);
  auto* card = new NeonCard(Palette::neonPurple, 6, &parent);
  card->setGeometry(30, 30, 240, 80);
  auto* layout = new QVBoxLayout(card);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* title = new NeonTitleLabel(QStringLiteral("CARD"), {Palette::neonPurple}, 18);
  layout->addWidget(title);
  const QImage image = shown(parent);
  EXPECT_EQ(title->geometry().topLeft(), QPoint(0, 0));
  EXPECT_NEAR(alphaAt(image, 150, 100), Palette::cyberCardBg.alpha(), 10);
  EXPECT_GT(alphaAt(image, 150, 26), 0);
  EXPECT_EQ(alphaAt(image, 150, 5), 0);
  // The title (a widget with a glow of its own) is drawn inside the card.
  int titlePixels = 0;
  for (int y = 30; y < 30 + title->height(); ++y) {
    for (int x = 30; x < 30 + title->width(); ++x) titlePixels += colourNear(image.pixel(x, y), Palette::neonPurple, 40);
  }
  EXPECT_GT(titlePixels, 20);
}

// Glows are drawn from shared pieces (a card's from nine slices of one small
// image, a divider's from its own painting): what reaches the screen is still
// the blur of the whole shape, at every size, with no seam or shift.
TEST(NeonCard, GlowsAreTheBlurOfTheWholeShapeAtEverySize) {
  // Premultiplied, so that the faint edge of a glow compares by what it adds.
  const auto differingPixels = [](const QImage& shownImage, const QImage& expectedImage, const QRect& skip) {
    const QImage a = shownImage.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QImage b = expectedImage.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    int differing = 0;
    for (int y = 0; y < a.height(); ++y) {
      for (int x = 0; x < a.width(); ++x) {
        if (skip.contains(x, y)) continue;
        const QRgb p = reinterpret_cast<const QRgb*>(a.constScanLine(y))[x];
        const QRgb q = reinterpret_cast<const QRgb*>(b.constScanLine(y))[x];
        differing += std::abs(qAlpha(p) - qAlpha(q)) > 2 || std::abs(qRed(p) - qRed(q)) > 2 ||
                     std::abs(qGreen(p) - qGreen(q)) > 2 || std::abs(qBlue(p) - qBlue(q)) > 2;
      }
    }
    return differing;
  };
  for (const QSize size : {QSize(40, 30), QSize(240, 80), QSize(520, 190)}) {
    QWidget parent;
    parent.resize(size + QSize(60, 60));
    auto* card = new NeonCard(Palette::neonPurple, 6, &parent);
    card->setGeometry(QRect(QPoint(30, 30), size));
    // The glow of the card's shape filled at the card's opacity; the card
    // itself covers the rest.
    QImage coverage(parent.size(), QImage::Format_ARGB32_Premultiplied);
    coverage.fill(Qt::transparent);
    QPainter painter(&coverage);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal inset = NeonCardStyle::borderWidth / 2;
    painter.fillPath(NeonCardStyle::shape(QRectF(card->geometry()).adjusted(inset, inset, -inset, -inset)),
                     QColor::fromRgbF(0, 0, 0, float(Palette::cyberCardBg.alphaF())));
    painter.end();
    const QImage expected = NeonCardStyle{Palette::neonPurple, 6}.glow().glowOf(coverage, 1);
    EXPECT_EQ(differingPixels(shown(parent), expected, card->geometry()), 0) << size.width() << "x" << size.height();
  }

  QWidget parent;
  parent.resize(320, 40);
  auto* divider = new CyberDividerLine(Palette::neonCyan, &parent);
  divider->setGeometry(20, 20, 280, 1);
  const QImage expected = paintOffscreen(parent.size(), [](QPainter& painter) {
    CyberDivider{Palette::neonCyan}.paint(painter, QRectF(20, 20, 280, 1));
  });
  EXPECT_EQ(differingPixels(shown(parent), expected, QRect()), 0);
}

TEST(NeonCard, GlowFollowsTheCardAndGoesWithIt) {
  QWidget parent;
  parent.resize(300, 200);
  auto* card = new NeonCard(Palette::neonCyan, 8, &parent);
  card->setGeometry(40, 40, 100, 60);
  shown(parent);
  card->move(150, 100);
  EXPECT_GT(alphaAt(shown(parent), 200, 96), 0);
  EXPECT_EQ(alphaAt(shown(parent), 90, 36), 0);
  card->hide();
  EXPECT_EQ(totalAlpha(shown(parent)), 0);
  delete card;
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(parent.findChildren<QWidget*>().isEmpty());
}

}  // namespace
