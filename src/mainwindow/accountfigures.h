#pragma once

#include "localization/applanguage.h"

#include <QColor>
#include <QLocale>
#include <QString>

// What the account popover makes of the account's plan and credits.
namespace AccountFigures {

// "trial" reads as the trial tier's name, "none" and "" as "no plan", any
// other tier upper-cased ("pro" reads PRO).
QString tierText(const QString& tier);

// The credits are shown for a trial, or when the plan has any credits at all.
bool showsCredits(const QString& tier, qint64 creditsTotal);

// The share of the credits left: 0 without a total, never above 1 (a bonus can
// leave more than the total) and never below 0.
double creditsFraction(qint64 remaining, qint64 total);

// Green above half, orange above a fifth, red from a fifth down.
QColor creditsColor(double fraction);

// "120 / 100".
QString creditsText(qint64 remaining, qint64 total);

// The locale the reset date is written in, by interface language.
QLocale dateLocale(AppLanguage language);

}  // namespace AccountFigures
