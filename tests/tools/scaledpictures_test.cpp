// Every page of the main window and every floating panel, drawn by the gallery
// at a device pixel ratio of 1 and again at a higher one (Qt's scale factor,
// so each window paints into a backing store of that ratio, as on a HiDPI
// screen): the sharper picture, brought down to the size of the first, shows
// the same thing. Glyph shapes differ a little between the two (hinting, the
// finer pixel grid); a glow drawn beside what casts it, a blurred line or
// anything shifted by a few pixels does not pass.
#include "testenvironment.h"

#include <QDir>
#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Scale {
  const char* pictures;  // the gallery's option
  qreal ratio;
};

// An X server of our own with a screen large enough for the main window at
// twice the scale (the test desktop's is not), ended with the test.
class PrivateDisplay {
 public:
  PrivateDisplay() {
    server_.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                           QStringLiteral("0"), QStringLiteral("2600x1700x24"),
                                           QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    for (int i = 0; i < 100 && name_.isEmpty() && server_.state() != QProcess::NotRunning; ++i) {
      server_.waitForReadyRead(100);
      const QByteArray line = server_.readAllStandardOutput().trimmed();
      if (!line.isEmpty()) name_ = QStringLiteral(":") + QString::fromLatin1(line);
    }
  }
  ~PrivateDisplay() {
    server_.terminate();
    server_.waitForFinished(5000);
  }
  QString name() const { return name_; }

 private:
  QProcess server_;
  QString name_;
};

// The gallery's pictures at `ratio` on `display`, in a folder of their own;
// empty when it failed.
QString galleryPictures(const QString& display, const char* option, qreal ratio) {
  const QString folder =
      QStringLiteral("%1/%2-at-%3").arg(TestEnvironment::root(), QString::fromLatin1(option).mid(2)).arg(ratio);
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  environment.insert(QStringLiteral("DISPLAY"), display);
  environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(ratio));
  environment.insert(QStringLiteral("QT_ENABLE_HIGHDPI_SCALING"), QStringLiteral("1"));
  process.setProcessEnvironment(environment);
  process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process.start(QStringLiteral(VELTRINE_GALLERY_PATH), {QString::fromLatin1(option), folder});
  process.waitForFinished(120'000);
  if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) return {};
  return folder;
}

// How far apart two pictures of one size are, as the eye sees them from a
// step away: the largest difference of any channel between the averages of
// matching blocks of 8 x 8 pixels (overlapping by half), 0 to 255. Colours
// count as they show, weighed by their opacity: the colour of a pixel that
// is all but clear is not seen.
//
// Measured on the gallery's pictures: glyphs set at 2x or 1.5x, their edges
// and baselines a pixel apart from those at 1x, differ by up to 32; a glow
// drawn twice its size from its widget's corner by 54 to 107.
int blockDifference(const QImage& first, const QImage& second) {
  constexpr int block = 8;
  const QImage a = first.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QImage b = second.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  int worst = 0;
  for (int top = 0; top + block <= a.height(); top += block / 2) {
    for (int left = 0; left + block <= a.width(); left += block / 2) {
      int sums[2][4] = {};
      for (int y = top; y < top + block; ++y) {
        for (int x = left; x < left + block; ++x) {
          const QRgb pa = a.pixel(x, y), pb = b.pixel(x, y);
          const int channelsA[4] = {qRed(pa), qGreen(pa), qBlue(pa), qAlpha(pa)};
          const int channelsB[4] = {qRed(pb), qGreen(pb), qBlue(pb), qAlpha(pb)};
          for (int c = 0; c < 4; ++c) {
            sums[0][c] += channelsA[c];
            sums[1][c] += channelsB[c];
          }
        }
      }
      for (int c = 0; c < 4; ++c) worst = std::max(worst, std::abs(sums[0][c] - sums[1][c]) / (block * block));
    }
  }
  return worst;
}

void PrintTo(const Scale& scale, std::ostream* out) { *out << scale.pictures << " at " << scale.ratio; }

class ScaledPictures : public testing::TestWithParam<Scale> {};

TEST_P(ScaledPictures, LookAsAtRatioOneOnlySharper) {
  const Scale scale = GetParam();
  const PrivateDisplay display;
  ASSERT_FALSE(display.name().isEmpty());
  const QString plain = galleryPictures(display.name(), scale.pictures, 1);
  const QString sharp = galleryPictures(display.name(), scale.pictures, scale.ratio);
  ASSERT_FALSE(plain.isEmpty());
  ASSERT_FALSE(sharp.isEmpty());
  const QStringList names = QDir(plain).entryList({QStringLiteral("*.png")}, QDir::Files);
  ASSERT_GE(names.size(), 5);
  for (const QString& name : names) {
    const QImage one(plain + u'/' + name);
    const QImage scaled(sharp + u'/' + name);
    ASSERT_FALSE(scaled.isNull()) << name.toStdString();
    // Drawn with every device pixel: the picture is the ratio times as large.
    EXPECT_NEAR(scaled.width(), one.width() * scale.ratio, 1) << name.toStdString();
    EXPECT_NEAR(scaled.height(), one.height() * scale.ratio, 1) << name.toStdString();
    const QImage down = scaled.scaled(one.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_LE(blockDifference(one, down), 40) << name.toStdString() << " at " << scale.ratio;
  }
}

INSTANTIATE_TEST_SUITE_P(Gallery, ScaledPictures,
                         testing::Values(Scale{"--main-window", 2}, Scale{"--panels", 2}, Scale{"--main-window", 1.5},
                                         Scale{"--panels", 1.5}, Scale{"--panels", 1.25}),
                         [](const testing::TestParamInfo<Scale>& info) {
                           return std::string(info.param.pictures + 2) == "panels"
                                      ? "Panels" + std::to_string(int(info.param.ratio * 100))
                                      : "MainWindow" + std::to_string(int(info.param.ratio * 100));
                         });

}  // namespace
