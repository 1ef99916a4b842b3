// veltrine-gallery: every colour, font, style, themed widget and symbol of the
// theme in one scrolling window, for review. With --screenshot FILE it saves
// the whole page as a PNG and quits.
#include "gallerypage.h"

#include "theme/fontbook.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCommandLineParser options;
  options.addHelpOption();
  const QCommandLineOption screenshot(QStringLiteral("screenshot"), QStringLiteral("Save the page to <file> and quit."),
                                      QStringLiteral("file"));
  const QCommandLineOption language(QStringLiteral("language"),
                                    QStringLiteral("Interface language for the font fallbacks (zh, zh-Hant, yue, en, ru, ko)."),
                                    QStringLiteral("code"), QStringLiteral("en"));
  options.addOption(screenshot);
  options.addOption(language);
  options.process(app);
  FontBook::shared().setLanguage(options.value(language));

  auto* page = new GalleryPage;
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
