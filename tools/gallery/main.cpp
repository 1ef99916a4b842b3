// veltrine-gallery: every colour, font, style, themed widget and symbol of the
// theme in one scrolling window, for review. With --screenshot FILE it saves
// the whole page as a PNG and quits. With --main-window DIR it shows the main
// window in its states instead and saves each as a PNG in DIR; with --panels
// DIR, each floating panel.
#include "gallerypage.h"
#include "mainwindowpictures.h"
#include "panelpictures.h"

#include "localization/appstrings.h"
#include "theme/fontbook.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>

#include <cstdio>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCommandLineParser options;
  options.addHelpOption();
  const QCommandLineOption screenshot(QStringLiteral("screenshot"), QStringLiteral("Save the page to <file> and quit."),
                                      QStringLiteral("file"));
  const QCommandLineOption language(
      QStringLiteral("language"),
      QStringLiteral("Interface language of the sample texts and the font fallbacks (zh, zh-Hant, yue, en, ru, ko)."),
      QStringLiteral("code"), QStringLiteral("en"));
  const QCommandLineOption mainWindow(QStringLiteral("main-window"),
                                      QStringLiteral("Save pictures of the main window's pages to <dir> and quit."),
                                      QStringLiteral("dir"));
  const QCommandLineOption panels(QStringLiteral("panels"),
                                  QStringLiteral("Save a picture of each floating panel to <dir> and quit."),
                                  QStringLiteral("dir"));
  options.addOption(screenshot);
  options.addOption(language);
  options.addOption(mainWindow);
  options.addOption(panels);
  options.process(app);
  const std::optional<AppLanguage> chosen = appLanguageFromRawValue(options.value(language));
  if (!chosen) {
    std::fprintf(stderr, "veltrine-gallery: unknown language \"%s\" (zh, zh-Hant, yue, en, ru, ko)\n",
                 qPrintable(options.value(language)));
    return 2;
  }
  FontBook::shared().setLanguage(rawValue(*chosen));
  if (options.isSet(mainWindow)) return writeMainWindowPictures(options.value(mainWindow), *chosen);
  if (options.isSet(panels)) return writePanelPictures(options.value(panels), *chosen) == 0 ? 0 : 1;

  auto* page = new GalleryPage(stringsFor(*chosen));
  QScrollArea window;
  window.setWindowTitle(QStringLiteral("Veltrine theme gallery"));
  window.setWidget(page);
  window.setWidgetResizable(true);
  window.resize(1240, 800);
  window.show();

  if (options.isSet(screenshot)) {
    // What the display really shows (glows and effects as composed on
    // screen): the window is made as tall as the page, so the screen must be.
    window.resize(1240, page->sizeHint().height() + 4);
    QTimer::singleShot(800, &app, [&] {
      const QPixmap shot = window.screen()->grabWindow(window.winId());
      QApplication::exit(shot.save(options.value(screenshot)) ? 0 : 1);
    });
  }
  return app.exec();
}
