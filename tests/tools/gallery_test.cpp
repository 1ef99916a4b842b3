// veltrine-gallery, run as a reviewer runs it: each interface language draws
// the theme with its own texts and character forms.
#include "testenvironment.h"

#include <QImage>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

// The exit code (-1 after a crash), what it printed on errors, and its picture.
struct GalleryRun {
  int exitCode;
  QString errors;
  QImage shot;
};
GalleryRun gallery(const QString& language) {
  const QString file = TestEnvironment::root() + QStringLiteral("/gallery-") + language + QStringLiteral(".png");
  QProcess process;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  process.setProcessEnvironment(environment);
  process.start(QStringLiteral(VELTRINE_GALLERY_PATH),
                {QStringLiteral("--language"), language, QStringLiteral("--screenshot"), file});
  process.waitForFinished(60'000);
  return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
          QString::fromUtf8(process.readAllStandardError()), QImage(file)};
}

TEST(Gallery, EachLanguageDrawsItsOwnPageAndAnUnknownOneIsRefused) {
  const GalleryRun english = gallery(QStringLiteral("en"));
  ASSERT_EQ(english.exitCode, 0) << english.errors.toStdString();
  ASSERT_FALSE(english.shot.isNull());
  for (const QString& language : {QStringLiteral("ru"), QStringLiteral("zh"), QStringLiteral("zh-Hant")}) {
    const GalleryRun run = gallery(language);
    ASSERT_EQ(run.exitCode, 0) << language.toStdString() << ": " << run.errors.toStdString();
    EXPECT_NE(run.shot, english.shot) << language.toStdString();
  }
  const GalleryRun unknown = gallery(QStringLiteral("RU"));
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_TRUE(unknown.errors.contains(QStringLiteral("unknown language"))) << unknown.errors.toStdString();
  EXPECT_TRUE(unknown.shot.isNull());
}

}  // namespace
