#include "core/logging.h"

Q_LOGGING_CATEGORY(lcAppDelegate, "vorlix.voice-input.AppDelegate")
Q_LOGGING_CATEGORY(lcAppInfo, "vorlix.voice-input.AppInfo")
Q_LOGGING_CATEGORY(lcAudioRecorder, "vorlix.voice-input.AudioRecorder")
Q_LOGGING_CATEGORY(lcCrashReporter, "vorlix.voice-input.CrashReporter")
Q_LOGGING_CATEGORY(lcHotKey, "vorlix.voice-input.HotKey")
Q_LOGGING_CATEGORY(lcHotKeyFlow, "vorlix.voice-input.HotKeyFlow")
Q_LOGGING_CATEGORY(lcMarkdown, "vorlix.voice-input.Markdown")
Q_LOGGING_CATEGORY(lcOpenClaw, "vorlix.voice-input.OpenClaw")
Q_LOGGING_CATEGORY(lcRecordingOverlay, "vorlix.voice-input.RecordingOverlay")
Q_LOGGING_CATEGORY(lcSelection, "vorlix.voice-input.Selection")
Q_LOGGING_CATEGORY(lcSelectionRestore, "vorlix.voice-input.SelectionRestore")
Q_LOGGING_CATEGORY(lcTerminal, "vorlix.voice-input.Terminal")
