#pragma once

#include "app/updateuserdriver.h"

#include <QCoroTask>
#include <QMessageBox>
#include <QObject>
#include <QPointer>

#include <chrono>

class CommandRunner;
class Relauncher;

// Installs a downloaded, verified release where this copy of the program can
// replace itself, after asking the user ("Install and Relaunch" or "Later"):
//
// - running from an AppImage, an AppImage release replaces that file (same
//   folder, same mode, one rename) and the new image is started;
// - installed from a Debian package (dpkg owns the running executable), a
//   package release is installed with apt-get behind the desktop's privilege
//   prompt (pkexec), and the program starts again.
//
// Anything else (a build from source, a release of another kind, a release
// whose signature could not be checked) is shown in its folder with a note
// that says what to do with it; so is a failed installation, which always
// leaves the running program as it was.
class UpdateInstaller : public QObject, public UpdateUserDriver {
  Q_OBJECT

 public:
  // How this copy of the program was installed.
  struct Installation {
    QString appImage;    // the AppImage it runs from; empty when none
    QString executable;  // the running executable
    QString version;     // its short version

    static Installation current();
  };

  // Asking dpkg which package owns a file.
  static constexpr std::chrono::milliseconds kQueryTimeout{10'000};
  // A privilege prompt left open, or a package manager waiting for its lock,
  // is given up after this.
  static constexpr std::chrono::milliseconds kInstallTimeout{15 * 60'000};

  // `runner` and `relauncher` must outlive the installer.
  UpdateInstaller(CommandRunner& runner, Relauncher& relauncher, Installation installation,
                  QObject* parent = nullptr);

  void showDownloadedUpdate(const AppcastItem& item, const QString& path, bool signatureVerified) override;

  // The question on screen, if any.
  QMessageBox* question() const { return question_; }

 private:
  enum class Method { none, replaceAppImage, installPackage };

  QCoro::Task<void> offer(AppcastItem item, QString path);
  QCoro::Task<Method> methodFor(QString path);
  void ask(const AppcastItem& item, const QString& path, Method method);
  QCoro::Task<void> install(QString path, Method method);
  QCoro::Task<QString> installPackage(QString path);

  CommandRunner& runner_;
  Relauncher& relauncher_;
  Installation installation_;
  QPointer<QMessageBox> question_;
  bool installing_ = false;
};
