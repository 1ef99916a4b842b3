#pragma once

#include <QLoggingCategory>

// The system-log categories of the program, all under "vorlix.voice-input".
// Messages reach standard error (and from there the journal). Each component
// logs under its own category; add a category here when a component needs one.
Q_DECLARE_LOGGING_CATEGORY(lcAppDelegate)
Q_DECLARE_LOGGING_CATEGORY(lcAppInfo)
Q_DECLARE_LOGGING_CATEGORY(lcAudioRecorder)
Q_DECLARE_LOGGING_CATEGORY(lcCrashReporter)
Q_DECLARE_LOGGING_CATEGORY(lcHotKey)
Q_DECLARE_LOGGING_CATEGORY(lcHotKeyFlow)
Q_DECLARE_LOGGING_CATEGORY(lcMarkdown)
Q_DECLARE_LOGGING_CATEGORY(lcOpenClaw)
Q_DECLARE_LOGGING_CATEGORY(lcRecordingOverlay)
Q_DECLARE_LOGGING_CATEGORY(lcSelection)
Q_DECLARE_LOGGING_CATEGORY(lcSelectionRestore)
Q_DECLARE_LOGGING_CATEGORY(lcTerminal)
Q_DECLARE_LOGGING_CATEGORY(lcUserDefaults)
