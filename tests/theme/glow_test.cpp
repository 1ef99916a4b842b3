// Glows and themed widgets as drawn: the blur, every glowing widget at many sizes, a page of them.
#include "theme/cyberdividerline.h"
#include "theme/cybertextfield.h"
#include "theme/glow.h"
#include "theme/glowlabel.h"
#include "theme/neonbutton.h"
#include "theme/neoncard.h"
#include "theme/neoncardstyle.h"
#include "theme/neontitlelabel.h"
#include "theme/palette.h"

#include "paintprobe.h"
#include "shownpage.h"

#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// The blur keeps the ink, spreads it evenly and stays inside the image,
// whatever the image's size against the radius.
TEST(Glow, TheBlurKeepsTheInkAndSpreadsItEvenlyAtEverySize) {
  for (const QSize size : {QSize(1, 1), QSize(3, 9), QSize(9, 3), QSize(31, 31), QSize(61, 17)}) {
    for (const Glow glow : {Glow{Palette::neonCyan, 1}, Glow{Palette::neonCyan, 4}, Glow{Palette::neonCyan, 10}}) {
      SCOPED_TRACE(testing::Message() << size.width() << "x" << size.height() << " radius " << glow.radius);
      QImage dot(size, QImage::Format_ARGB32_Premultiplied);
      dot.fill(Qt::transparent);
      dot.setPixel(size.width() / 2, size.height() / 2, qRgba(0, 0, 0, 255));
      const QImage blurred = glow.glowOf(dot, 1);
      ASSERT_EQ(blurred.size(), size);
      for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
          EXPECT_EQ(alphaAt(blurred, x, y), alphaAt(blurred, size.width() - 1 - x, size.height() - 1 - y)) << x << "," << y;
        }
      }
      const bool roomy = size.width() > 2 * glow.reach() && size.height() > 2 * glow.reach();
      EXPECT_TRUE(!roomy || std::abs(totalAlpha(blurred) - 255) <= 12) << totalAlpha(blurred);
    }
  }
}

TEST(Glow, EveryGlowingWidgetDrawsAtEverySizeAndGlowsPastItsEdges) {
  const std::vector<std::pair<const char*, std::function<QWidget*()>>> widgets = {
      {"button", [] { return new NeonButton(QStringLiteral("GO"), Palette::neonRed); }},
      {"card", [] { return new NeonCard(Palette::neonPurple, 8); }},
      {"field", [] { return new CyberTextField(Palette::neonGreen); }},
      {"divider", [] { return new CyberDividerLine(Palette::neonCyan); }},
      {"label", [] { return new GlowLabel(QStringLiteral("GLOW"), Palette::neonYellow, 20, QFont::ExtraBold); }},
      {"title", [] { return new NeonTitleLabel(QStringLiteral("TITLE"), {Palette::neonCyan, Palette::neonGreen}, 22); }}};
  for (const auto& [name, make] : widgets) {
    for (const QSize size : {QSize(1, 1), QSize(13, 7), QSize(160, 44), QSize(517, 203)}) {
      SCOPED_TRACE(testing::Message() << name << " " << size.width() << "x" << size.height());
      QWidget parent;
      parent.resize(size + QSize(80, 80));
      QWidget* widget = make();
      widget->setParent(&parent);
      widget->setGeometry(QRect(QPoint(40, 40), size));
      const QImage image = shown(parent);
      EXPECT_EQ(alphaAt(image, 2, 2), 0);  // a glow fades out
      if (size.width() < 100) continue;
      EXPECT_GT(totalAlpha(image.copy(widget->geometry())), 0);
      // The shapes glow just above their edge; the others around their ink.
      EXPECT_TRUE(!QByteArray("button card field").contains(name) || alphaAt(image, 40 + size.width() / 2, 38) > 0);
    }
  }
}

// A card's glow is drawn from slices of one small image, cut in device
// pixels: what reaches the screen is still the blur of its whole shape, with
// no seam or shift, also at 1.25, 1.5 and 2 device pixels per logical pixel
// (Qt's scale factor, see CMakeLists.txt).
TEST(Glow, ACardsGlowIsTheBlurOfItsWholeShapeAtEverySizeAndGoesWhenItIsHidden) {
  const NeonCardStyle style{Palette::neonPurple, 6};
  // Sizes and places on whole device pixels at each scale, the glow's own widget included.
  const int margin = int(std::ceil(style.glow().reach()));
  for (const QSize size : {QSize(40, 32), QSize(240, 80), QSize(520, 192)}) {
    QWidget parent;
    parent.resize(size + QSize(64 + 2 * margin, 64 + 2 * margin));
    auto* card = new NeonCard(Palette::neonPurple, 6, &parent);
    card->setGeometry(QRect(QPoint(32 + margin, 32 + margin), size));
    const qreal ratio = parent.devicePixelRatioF();
    const qreal inset = NeonCardStyle::borderWidth / 2;
    const QImage coverage = paintOffscreen(parent.size() * ratio, [&](QPainter& painter) {
      painter.setRenderHint(QPainter::Antialiasing);
      painter.scale(ratio, ratio);
      painter.fillPath(NeonCardStyle::shape(QRectF(card->geometry()).adjusted(inset, inset, -inset, -inset)),
                       QColor::fromRgbF(0, 0, 0, float(Palette::cyberCardBg.alphaF())));
    });
    const QImage expected = style.glow().glowOf(coverage, ratio).convertToFormat(QImage::Format_ARGB32);
    const QImage actual = shown(parent);
    const QRect face(card->pos() * ratio, card->size() * ratio);
    int differing = 0;
    for (int y = 0; y < actual.height(); ++y) {
      for (int x = 0; x < actual.width(); ++x) {
        const QRgb a = actual.pixel(x, y), b = expected.pixel(x, y);
        differing += !face.contains(x, y) && (std::abs(qAlpha(a) - qAlpha(b)) > 2 || !colourNear(a, b, 2));
      }
    }
    EXPECT_EQ(differing, 0) << size.width() << "x" << size.height() << " at " << ratio;
    card->hide();
    EXPECT_EQ(totalAlpha(shown(parent)), 0);
  }
}

TEST(ThemedWidgets, APageOfThemLaysOutWithoutFaultsAndAButtonShowsItsPressAndDisabling) {
  QWidget page;
  auto* layout = new QVBoxLayout(&page);
  auto* card = new NeonCard(Palette::neonCyan, 8);
  auto* inCard = new QVBoxLayout(card);
  inCard->addWidget(new NeonTitleLabel(QStringLiteral("HISTORY"), {Palette::neonCyan, Palette::neonGreen}, 22));
  inCard->addWidget(new GlowLabel(QStringLiteral("Recorded just now"), Palette::cyberTextSecondary, 14, QFont::Medium));
  layout->addWidget(card);
  auto* button = new NeonButton(QStringLiteral("SAVE"), Palette::neonRed);
  button->setLeadingSymbol(QStringLiteral("plus"), 13);
  layout->addWidget(button);
  auto* field = new CyberTextField(Palette::neonGreen);
  field->setPlaceholderText(QStringLiteral("Type a hotword"));
  layout->addWidget(field);
  layout->addWidget(new CyberDividerLine(Palette::neonCyan));
  page.show();
  settleLayout();
  const std::vector<std::string> faults = shownPageFaults(page);
  EXPECT_TRUE(faults.empty()) << testing::PrintToString(faults);

  const QPoint fillPoint = button->geometry().topLeft() + QPoint(6, button->height() / 2);
  const auto fill = [&] { return alphaAt(shown(page), fillPoint.x(), fillPoint.y()); };
  const int rest = fill();
  const long long restInk = totalAlpha(shown(page).copy(button->geometry()));
  button->setDown(true);
  EXPECT_GT(fill(), rest);
  button->setEnabled(false);
  EXPECT_LT(fill(), rest);
  EXPECT_LT(totalAlpha(shown(page).copy(button->geometry())), restInk / 2);
}

}  // namespace
