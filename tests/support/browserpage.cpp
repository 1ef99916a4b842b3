#include "browserpage.h"

#include "awaittask.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace {

// The title starts with this, then the report as percent-encoded JSON, then
// whatever the browser adds (" - Chromium").
const QString kTitlePrefix = QStringLiteral("veltrine-page:");

const QString kPage = QStringLiteral(R"(<!doctype html>
<html><head><meta charset="utf-8"><title>veltrine-page:</title></head><body>
<textarea id="area" autofocus rows="6" cols="60"></textarea>
<script>
const area = document.getElementById('area');
const chords = [];
function report() {
  document.title = 'veltrine-page:' + encodeURIComponent(JSON.stringify({text: area.value, chords: chords}));
}
area.addEventListener('keydown', event => {
  if (event.ctrlKey && !['Control', 'Shift', 'Alt', 'Meta'].includes(event.key)) {
    chords.push('C-' + (event.shiftKey ? 'S-' : '') + event.key);
    report();
  }
});
area.addEventListener('input', report);
area.value = decodeURIComponent(location.hash.substring(1));
area.focus();
report();
</script></body></html>
)");

const QByteArray kFirefoxPreferences = R"(user_pref("browser.aboutwelcome.enabled", false);
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("datareporting.policy.firstRunURL", "");
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
user_pref("app.update.disabledForTesting", true);
)";

}  // namespace

BrowserPage::~BrowserPage() {
  process_.kill();
  process_.waitForFinished(5000);
}

bool BrowserPage::open(const QString& text) {
  QFile page(folder_.filePath(QStringLiteral("page.html")));
  if (!folder_.isValid() || !page.open(QIODevice::WriteOnly)) return false;
  page.write(kPage.toUtf8());
  page.close();
  QUrl url = QUrl::fromLocalFile(page.fileName());
  url.setFragment(text);
  const QString profile = folder_.filePath(QStringLiteral("profile"));
  if (!QDir().mkpath(profile)) return false;
  // Firefox's first start would open pages of its own over this one.
  QFile preferences(profile + QStringLiteral("/user.js"));
  if (!preferences.open(QIODevice::WriteOnly)) return false;
  preferences.write(kFirefoxPreferences);
  preferences.close();
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  if (browser_ == Browser::chromium) {
    // As root it runs only without its sandbox; nothing of its own may reach the network.
    // Its passwords and cookie key stay in the new profile (the basic store): on a desktop
    // whose session bus can start GNOME's keyring, a new profile asks the keyring for a
    // store, and the keyring's "Choose password for new keyring" dialog grabs the keyboard
    // and keeps the page from coming to the front.
    process_.start(QStringLiteral("chromium"),
                   {QStringLiteral("--no-sandbox"), QStringLiteral("--disable-gpu"), QStringLiteral("--no-first-run"),
                    QStringLiteral("--disable-background-networking"), QStringLiteral("--disable-component-update"),
                    QStringLiteral("--disable-sync"), QStringLiteral("--password-store=basic"),
                    QStringLiteral("--user-data-dir=") + profile, url.toString(QUrl::FullyEncoded)});
  } else {
    // Firefox keeps its passwords in the profile's own store and never asks the keyring.
    process_.start(QStringLiteral("firefox-esr"), {QStringLiteral("--no-remote"), QStringLiteral("--profile"), profile,
                                                   url.toString(QUrl::FullyEncoded)});
  }
  if (!process_.waitForStarted(20000)) return false;
  return waitUntil([&] { return this->text() == text; }, std::chrono::seconds(60));
}

std::optional<BrowserPage::Report> BrowserPage::read() const {
  QProcess xdotool;
  xdotool.start(QStringLiteral("xdotool"),
                {QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral("^") + kTitlePrefix,
                 QStringLiteral("getwindowname")});
  if (!xdotool.waitForFinished(5000) || xdotool.exitCode() != 0) return std::nullopt;
  const QString title = QString::fromUtf8(xdotool.readAllStandardOutput()).section(u'\n', 0, 0);
  if (!title.startsWith(kTitlePrefix)) return std::nullopt;
  const QString encoded = title.mid(kTitlePrefix.size()).section(u' ', 0, 0);
  const QJsonDocument json = QJsonDocument::fromJson(QUrl::fromPercentEncoding(encoded.toUtf8()).toUtf8());
  if (!json.isObject()) return std::nullopt;
  Report report;
  report.text = json[QStringLiteral("text")].toString();
  for (const QJsonValue& chord : json[QStringLiteral("chords")].toArray()) report.chords.append(chord.toString());
  return report;
}

std::optional<QString> BrowserPage::text() const {
  const std::optional<Report> report = read();
  if (!report) return std::nullopt;
  return report->text;
}

QStringList BrowserPage::controlChords() const { return read().value_or(Report{}).chords; }
