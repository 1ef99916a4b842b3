#pragma once

#include "localization/applanguage.h"

#include <QString>

#include <span>

// The table of every interface text of one language. Each text is a field;
// the six tables (strings_<language>.cpp) fill the same fields in the same
// order, so translators can read them side by side. Only the six formatting
// methods at the end are code, and they differ by language.
//
// Read texts through currentStrings() each time one is shown: it hands out the
// table of the language current at that moment. Tables are constants and never
// change; a reference kept across a change of language keeps the old texts.
//
// Conventions every table keeps: the same leading and trailing symbols as the
// English text ("⟐ " page titles, "◈ " section and panel titles, "▶ " primary
// actions, "◂ " back, " ▸" next, "■ " stop, "⏳ " agent busy, "✓ " done, "🦞 "
// OpenClaw titles), bracket tags with inner spaces for empty states and the
// sign-in titles, the same "%d" placeholders in the same order, and capitals
// for status words, titles and tags in English and Russian.
struct AppStrings {
  AppLanguage language;

  // Sidebar entries
  QString sidebarHome;
  QString sidebarDict;
  QString sidebarPersona;
  QString sidebarHistory;
  QString sidebarSettings;

  // Page titles
  QString pageHome;
  QString pageDict;
  QString pagePersona;
  QString pageHistory;
  QString pageSettings;

  // Section titles and labels
  QString sectionHotkeys;
  QString sectionLatest;
  QString sectionPermissions;
  QString sectionPrivacy;
  QString labelTranscript;
  QString labelResult;

  // Status words
  QString statusIdle;
  QString statusRec;
  QString statusProc;
  QString statusWait;
  QString statusOk;
  QString statusFail;
  QString statusDenied;
  QString statusPending;

  // Buttons
  QString btnPin;
  QString btnUnpin;
  QString btnRefresh;
  QString btnDone;
  QString btnCopy;
  QString btnCopied;
  QString btnDelAudio;
  QString btnWarn;

  // Common actions and words
  QString cancel;
  QString delete_;  // "delete" is a C++ keyword
  QString save;
  QString add;
  QString manage;
  QString loading;
  QString retry;
  QString languageLabel;

  // Product name
  QString appNameShort;
  QString appNameFull;

  // Sign-in and account state
  QString notLoggedIn;
  QString logout;
  QString authSubtitle;
  QString emailPlaceholder;
  QString codePlaceholder;
  QString resendCode;
  QString sendCode;
  QString verifyAccess;
  QString enterEmail;
  QString enterCode;

  // Account
  QString accountTitle;
  QString accountEmail;
  QString accountTier;
  QString tierTrial;
  QString tierNone;
  QString accountCredits;
  QString accountCreditsReset;

  // Permissions
  QString permManage;
  QString permUnauthorized;
  QString permFullyAuthorized;
  QString permPartialAuth;
  QString permAllOk;
  QString permSomeMissing;
  QString permMicrophone;
  QString permMicrophoneDesc;
  QString permAccessibility;
  QString permAccessibilityDesc;
  QString permGoAuth;

  // Hotkeys
  QString hotkeyTranscribe;
  QString hotkeyRewrite;
  QString hotkeyAgent;
  QString hotkeyVoiceInput;
  QString hotkeyVoiceInputDesc;
  QString hotkeyRewriteTitle;
  QString hotkeyRewriteDesc;
  QString hotkeyAgentTitle;
  QString hotkeyAgentDesc;
  QString pressHotkeyHint;
  QString pressNewHotkey;
  QString hotkeyHeldElsewhere;     // a combination another application holds
  QString hotkeyHeldElsewhereTip;  // %1: those combinations, as shown

  // Recognition state
  QString processing;
  QString recognizing;
  QString recognizeFailed;

  // Overlays
  QString overlayRecording;
  QString overlayRecognizing;
  QString overlayClarifyTitle;
  QString overlayClarifyFallback;
  QString overlayResultTitle;
  QString overlayResultPinned;

  // Hotword dictionary
  QString dictDesc;
  QString dictEmpty;
  QString dictStandardWord;
  QString dictPlaceholder;
  QString editHotword;
  QString newHotword;

  // Personas
  QString personaPageDesc;
  QString personaNewPersona;
  QString personaNameLabel;
  QString personaNamePlaceholder;
  QString personaDescLabel;
  QString personaDescPlaceholder;
  QString personaActivated;
  QString personaActivateBtn;
  QString personaDeactivateBtn;
  QString personaCountHint;     // printf format: count, then limit ("%d / %d")
  QString personaLimitReached;  // printf format: the limit ("%d")
  QString personaTranscribeTitle;
  QString personaTranscribeDesc;
  QString personaTranscribePlaceholder;
  QString personaRewriteTitle;
  QString personaRewriteDesc;
  QString personaRewritePlaceholder;
  QString personaIntentTitle;
  QString personaIntentDesc;
  QString personaIntentPlaceholder;
  QString personaCustomized;
  QString personaUsingBuiltin;
  QString personaClearToBuiltin;
  QString personaActive;
  QString personaEnableHint;
  QString personaDisableHint;

  // History
  QString noRecords;
  QString noResult;
  QString deleteConfirm;
  QString deleteRecordAndAudio;
  QString deleteRecordOnly;
  QString opTranscribe;
  QString opRewrite;
  QString opAgent;
  QString historySaveTitle;
  QString historySaveSubtitle;
  QString historyPrivacyTitle;
  QString historyPrivacySubtitle;
  QString historyRetentionForever;
  QString historyRetention30Days;
  QString historyRetention7Days;
  QString historyRetention1Day;
  QString historyRetentionNever;

  // Error messages
  QString errorRegistrationClosed;
  QString errorUnknown;
  QString errorDecode;
  QString errorNetwork;
  QString errorCannotConnect;
  QString errorHostNotFound;
  QString errorProxyRefused;
  QString errorTimedOut;
  QString errorConnectionLost;
  QString errorSecureConnection;
  QString errorBadAddress;
  QString errorInsecureAddress;
  QString errorRedirectRefused;
  QString errorUnauthorized;
  QString errorUserCancelled;
  QString errorInvalidAudio;
  QString errorDurationExceeded;
  QString errorUnsupportedOp;
  QString errorProviderError;
  QString errorInvalidCode;
  QString errorHotwordDuplicate;
  QString errorHotwordNotFound;
  QString errorHotwordLimit;
  QString errorShortcutNotFound;
  QString errorCreditsExhausted;
  QString errorMicrophoneLost;  // the tip when the microphone goes away during a recording
  QString errorUserBanned;
  QString errorInvalidInviteCode;
  QString errorInviteSessionExpired;
  QString errorDeviceLimitReached;
  QString errorIpLimitReached;
  QString errorDisposableEmail;
  QString errorSendCodeTooFrequent;

  // Onboarding
  QString onboardingBack;
  QString onboardingNext;
  QString onboardingStart;
  QString onboardingGrantFirst;
  QString onboardingTryFirst;
  QString onboardingStepDone;
  QString onboardingStepWaiting;
  QString onboardingWelcomeTitle;
  QString onboardingWelcomeDesc;
  QString onboardingFeature1Title;
  QString onboardingFeature1Desc;
  QString onboardingFeature2Title;
  QString onboardingFeature2Desc;
  QString onboardingFeature3Title;
  QString onboardingFeature3Desc;
  QString onboardingPermTitle;
  QString onboardingPermDesc;
  QString onboardingPermMicDesc;
  QString onboardingPermAXDesc;
  QString onboardingPermAllDone;
  QString onboardingPermRefresh;
  QString onboardingCompleteTitle;
  QString onboardingCompleteDesc;

  // Onboarding practice pages
  QString obTriFillTitle;
  QString obTriFillSub;
  QString obTriFillFieldLabel;
  QString obTriFillPlaceholder;
  QString obTriFillI1;
  QString obTriFillI2;
  QString obTriFillI3;
  QString obRwGenTitle;
  QString obRwGenSub;
  QString obRwGenFieldLabel;
  QString obRwGenPlaceholder;
  QString obRwGenI1;
  QString obRwGenI2;
  QString obRwGenI3;
  QString obRwRoTitle;
  QString obRwRoSub;
  QString obRwRoSelectHint;
  QString obRwRoSampleText;
  QString obRwRoI1;
  QString obRwRoI2;
  QString obRwRoI3;
  QString obRwEdTitle;
  QString obRwEdSub;
  QString obRwEdFieldLabel;
  QString obRwEdDefaultText;
  QString obRwEdI1;
  QString obRwEdI2;
  QString obRwEdI3;
  QString obAgSearchTitle;
  QString obAgSearchSub;
  QString obAgSearchExampleLabel;
  QString obAgSearchEx1;
  QString obAgSearchEx2;
  QString obAgSearchEx3;
  QString obAgSearchI1;
  QString obAgSearchI2;
  QString obAgSearchI3;

  // Status menu
  QString menuShowMain;
  QString menuQuit;
  QString menuPermissions;
  QString menuCheckUpdate;
  QString menuChecking;
  QString menuDownloading;
  QString menuCrashUploading;
  QString menuCrashNoLog;
  // The notes that name a downloaded update's file (its path is %1): saved
  // where this copy cannot install it, saved unchecked (no update key), or not
  // installed after all.
  QString updateSavedTitle;
  QString updateSavedText;
  QString updateUnverifiedText;
  // The question before an update is installed: %1 the new version, %2 this one.
  QString updateInstallTitle;
  QString updateInstallText;
  QString updateInstallButton;
  QString updateLaterButton;
  QString updateInstallFailedTitle;
  QString updateInstallFailedText;

  // Invite code step
  QString invitePageTitle;
  QString invitePageSubtitle;
  QString inviteWelcomeHeading;
  QString inviteBodyLine1;  // markdown: one **emphasised** phrase
  QString inviteBodyLine2;
  QString inviteCodePlaceholder;
  QString inviteSubmitBtn;
  QString inviteBackBtn;

  // Own invite codes
  QString myInviteCodesTitle;
  QString myInviteCodesDesc;
  QString myInviteCodeUsed;
  QString myInviteCodeUnused;
  QString myInviteCodeUsedBy;
  QString myInviteCodeCopied;
  QString myInviteCodesBtn;

  // OpenClaw
  QString openclawPromoTitle;
  QString openclawPromoDesc;
  QString openclawInstallBtn;
  QString openclawInstalledTitle;
  QString openclawInstalledDesc;
  QString openclawServiceDownTitle;
  QString openclawServiceDownDesc;
  QString openclawStartBtn;
  QString openclawStartingGateway;
  QString openclawProcessing;
  QString openclawStopBtn;
  QString openclawTipNotInstalled;
  QString openclawTipServiceDown;
  QString openclawTipSessionStarted;
  QString openclawTipSessionEnded;
  QString openclawTipAlreadyActive;
  QString openclawMinVersion;
  QString openclawUninstallBtn;
  // The home card's note when no terminal window could be opened.
  QString openclawNoTerminal;

  // Clipboard setting
  QString clipboardAccessTitle;
  QString clipboardAccessDesc;

  // Terms and privacy
  QString agreementTerms;
  QString agreementPrivacy;
  QString agreementAnd;
  QString agreementLoading;
  QString agreementLoadFailed;
  QString agreementClose;

  // The formatting methods. Numbers are plain decimal digits, a minus sign when
  // negative, never grouped; a word is inserted as given.

  // The date of the next credit reset, already formatted: shown as it comes.
  QString accountCreditsResetDate(const QString& date) const;
  // The question asked before a hotword is deleted.
  QString deleteHotwordConfirm(const QString& word) const;
  // The history page's button that loads more records.
  QString moreCount(qint64 count) const;
  // The history page's record count.
  QString recordCount(qint64 count) const;
  // The length of an edited text against its limit: "3/50".
  QString charCount(qint64 current, qint64 limit) const;
  // The status menu item that uploads pending crash reports.
  QString menuUploadCrashLogs(qint64 count) const;

  // Every text field with its name, in declaration order: for tests and
  // tools that check the tables. The program itself never looks texts up by
  // name.
  struct Field {
    const char* name;
    QString AppStrings::*member;
  };
  static constexpr int fieldCount = 293;
  static std::span<const Field> fields();
};

// The table of `language`.
const AppStrings& stringsFor(AppLanguage language);

// The table of the language current now (LanguageManager). Cheap: call it for
// every text at every showing rather than keeping a table. Main thread only.
const AppStrings& currentStrings();
