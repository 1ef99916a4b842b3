#pragma once

#include <QString>
#include <QStringList>

// The command lines the bridge hands to a shell: typed into a terminal window
// where the user watches them, or run in the background through the login
// shell. All of them are fixed texts of ours; what the service sends is typed
// as it is and never spliced into these.
namespace OpenClawCommands {

// Fetches the installer over HTTPS (TLS 1.2 at least) and runs it.
QString install();
QString uninstall();
QString gatewayStart();    // the gateway's background service is installed
QString gatewayInstall();  // it is not: install (and start) it
QString gatewayRun();      // the gateway in the foreground, when the service does not come up
QString gatewayStop();
QString setLocalMode();
QString setTokenAuthMode();
// `token` is hex digits of ours, placed in the command line as a JSON
// string: the tool reads a bare value that looks like a number (a token of
// decimal digits only) as one, and refuses it.
QString setAuthToken(const QString& token);
QString enableChatCompletions();
// Prints something exactly when the gateway's user service is installed.
QString serviceCheck();

// Sub-commands that ask the user questions, so they always get a fresh
// window instead of the one where spoken commands pile up. Some end in a
// space on purpose: "models set " matches "models set gpt" but not a bare
// "models set".
const QStringList& interactiveSubcommands();

// The lower-cased text contains one of the interactive sub-commands.
bool isInteractive(const QString& command);

}  // namespace OpenClawCommands
