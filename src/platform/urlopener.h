#pragma once

#include <QUrl>

// Hands an address to the desktop's default handler for it: a web address to
// the browser, a mailto: address to the mail program.
//
// The program installs the real implementation at start-up (app/); tests
// install a fake. Until something is installed nothing is opened.
class UrlOpener {
 public:
  virtual ~UrlOpener() = default;

  // Opens `url` without waiting for the handler. False when the desktop has no
  // handler for it or the handler could not be started.
  virtual bool open(const QUrl& url) = 0;

  static UrlOpener& current();
  // Installs `opener` (not owned; it must outlive its use). nullptr uninstalls.
  static void install(UrlOpener* opener);
};
