#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// Where a local OpenClaw installation keeps its parts: the configuration
// folder ~/.openclaw with its configuration file and the gateway's error log,
// and the places where installers put the command-line tool. "~" is the home
// folder of the environment ($HOME). Everything here reads the disk afresh at
// each call and treats anything unreadable as absent.
namespace OpenClawInstallation {

QString homeFolder();           // ~/.openclaw
QString configFilePath();       // ~/.openclaw/openclaw.json
QString gatewayErrorLogPath();  // ~/.openclaw/logs/gateway.err.log

// Anything (file or folder) at ~/.openclaw.
bool homeExists();

// Where installers put the tool, in the order they are tried: the two system
// prefixes, ~/.local/bin, Volta, a user-wide npm prefix, then "bin/openclaw"
// of every Node version that nvm keeps (in the order the folder lists them).
QStringList candidateBinaryPaths();

// The first candidate that is an executable file.
std::optional<QString> executableCandidate();

// The gateway refused to start because no gateway mode is configured: its
// error log says so.
bool gatewayLogShowsModeUnset();

}  // namespace OpenClawInstallation
