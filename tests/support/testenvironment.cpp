#include "testenvironment.h"

#include <QDir>
#include <QTemporaryDir>

#include <memory>

#include <sys/stat.h>

namespace TestEnvironment {
namespace {

std::unique_ptr<QTemporaryDir> folder;

void makeFolder(const QString& path, const char* variable) {
  QDir().mkpath(path);
  ::chmod(QFile::encodeName(path).constData(), 0700);
  qputenv(variable, QFile::encodeName(path));
}

}  // namespace

void setUp() {
  folder = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/veltrine-test-XXXXXX"));
  const QString base = folder->path();
  makeFolder(base + QStringLiteral("/home"), "HOME");
  makeFolder(base + QStringLiteral("/home/.config"), "XDG_CONFIG_HOME");
  makeFolder(base + QStringLiteral("/home/.local/share"), "XDG_DATA_HOME");
  makeFolder(base + QStringLiteral("/home/.cache"), "XDG_CACHE_HOME");
  makeFolder(base + QStringLiteral("/run"), "XDG_RUNTIME_DIR");
  QDir().mkpath(base + QStringLiteral("/home/Documents"));
}

void tearDown() { folder.reset(); }

QString root() { return folder ? folder->path() : QString(); }

bool desktopAvailable() {
  return !qEnvironmentVariableIsEmpty("DISPLAY") && !qEnvironmentVariableIsEmpty("VELTRINE_TEST_DISPLAY");
}

bool desktopRequired() { return !qEnvironmentVariableIsEmpty("VELTRINE_TEST_REQUIRE_DESKTOP"); }

}  // namespace TestEnvironment
