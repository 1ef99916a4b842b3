// veltrine-onboarding-preview: the onboarding flow in a window of its own,
// opened at any step, in any interface language, with the permissions granted
// or not and the exercise passed or not. Nothing is sent anywhere: no account
// is needed and no hotkey is listened to. With --screenshot FILE it saves the
// window as a PNG and quits.
#include "localization/applanguage.h"
#include "localization/languagemanager.h"
#include "onboarding/onboardingview.h"
#include "pipeline/historystore.h"
#include "pipeline/permissionmanager.h"
#include "platform/accessibilitytrust.h"
#include "platform/microphoneaccess.h"
#include "theme/fontbook.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// The two grants as the command line says.
class StatedMicrophone final : public MicrophoneAccess {
 public:
  explicit StatedMicrophone(bool granted) : granted_(granted) {}
  Authorization authorizationStatus() override {
    return granted_ ? Authorization::authorized : Authorization::notDetermined;
  }
  QCoro::Task<bool> requestAccess() override { co_return granted_; }

 private:
  bool granted_;
};

class StatedTrust final : public AccessibilityTrust {
 public:
  explicit StatedTrust(bool trusted) : trusted_(trusted) {}
  bool isTrusted() override { return trusted_; }
  QString missingReason() override { return trusted_ ? QString() : QStringLiteral("preview without trust"); }

 private:
  bool trusted_;
};

}  // namespace

int main(int argc, char** argv) {
  // The language choice and whatever else the views store go to a settings
  // folder of the preview's own, never the user's.
  QTemporaryDir home;
  qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
  qputenv("XDG_DATA_HOME", home.path().toUtf8());
  QApplication app(argc, argv);
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/veltrine.svg")));
  QCommandLineParser options;
  options.addHelpOption();
  const QCommandLineOption step(QStringLiteral("step"), QStringLiteral("The step to open, 0 to 7."),
                                QStringLiteral("n"), QStringLiteral("0"));
  const QCommandLineOption passed(QStringLiteral("passed"), QStringLiteral("Show the step's exercise as passed."));
  const QCommandLineOption granted(QStringLiteral("granted"), QStringLiteral("Both permissions granted."));
  const QCommandLineOption language(QStringLiteral("language"),
                                    QStringLiteral("Interface language (zh, zh-Hant, yue, en, ru, ko)."),
                                    QStringLiteral("code"), QStringLiteral("en"));
  const QCommandLineOption screenshot(QStringLiteral("screenshot"), QStringLiteral("Save the window to <file> and quit."),
                                      QStringLiteral("file"));
  options.addOptions({step, passed, granted, language, screenshot});
  options.process(app);

  StatedMicrophone microphone(options.isSet(granted));
  MicrophoneAccess::install(&microphone);
  StatedTrust trust(options.isSet(granted));
  AccessibilityTrust::install(&trust);

  const AppLanguage chosen = appLanguageFromRawValue(options.value(language)).value_or(AppLanguage::en);
  LanguageManager::shared().setCurrent(chosen);
  FontBook::shared().setLanguage(rawValue(chosen));

  const OnboardingStep opened = onboardingStepFromRawValue(options.value(step).toInt()).value_or(OnboardingStep::welcome);
  QSet<int> completed;
  if (options.isSet(passed)) completed.insert(rawValue(opened));
  OnboardingView view(PermissionManager::shared(), LanguageManager::shared(), HistoryStore::shared(), opened, completed,
                      [] { QApplication::quit(); });
  view.setWindowTitle(QStringLiteral("Veltrine onboarding preview"));
  view.show();

  if (options.isSet(screenshot)) {
    QTimer::singleShot(800, &app, [&] {
      const QPixmap shot = view.screen()->grabWindow(view.winId());
      QApplication::exit(shot.save(options.value(screenshot)) ? 0 : 1);
    });
  }
  return app.exec();
}
