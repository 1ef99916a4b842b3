// veltrine-standin: a development stand-in of the Veltrine service on
// loopback. Not part of the product and never installed.
//
//   veltrine-standin [--port N] [--code CODE] [--require-invite] [--credits N] [--max-duration SECONDS]
#include "standinservice.h"

#include <QCoreApplication>
#include <QCommandLineParser>

#include <cstdio>

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("A development stand-in of the Veltrine service on 127.0.0.1."));
  parser.addHelpOption();
  const QCommandLineOption port(QStringLiteral("port"), QStringLiteral("Port on 127.0.0.1 (0: any)."), QStringLiteral("N"),
                                QStringLiteral("18765"));
  const QCommandLineOption code(QStringLiteral("code"), QStringLiteral("The sign-in code every e-mail accepts."),
                                QStringLiteral("CODE"), QStringLiteral("123456"));
  const QCommandLineOption requireInvite(QStringLiteral("require-invite"),
                                         QStringLiteral("New accounts need the invite code VTRN-2345."));
  const QCommandLineOption credits(QStringLiteral("credits"), QStringLiteral("Credits per account."), QStringLiteral("N"),
                                   QStringLiteral("100"));
  const QCommandLineOption maxDuration(QStringLiteral("max-duration"), QStringLiteral("Longest recording in seconds."),
                                       QStringLiteral("SECONDS"), QStringLiteral("60"));
  parser.addOptions({port, code, requireInvite, credits, maxDuration});
  parser.process(app);

  StandinStore::Options options;
  options.signInCode = parser.value(code);
  options.requireInvite = parser.isSet(requireInvite);
  options.credits = parser.value(credits).toLongLong();
  options.maxDurationSec = parser.value(maxDuration).toLongLong();
  StandinService service(options);
  const int bound = service.bind(parser.value(port).toInt());
  if (bound < 0) {
    std::fprintf(stderr, "veltrine-standin: cannot listen on 127.0.0.1:%s\n", qPrintable(parser.value(port)));
    return 1;
  }
  std::fprintf(stderr, "veltrine-standin: serving http://127.0.0.1:%d (sign-in code %s%s)\n", bound,
               qPrintable(options.signInCode), options.requireInvite ? ", invite code VTRN-2345" : "");
  return service.serve() ? 0 : 1;
}
