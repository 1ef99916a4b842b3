#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// A date in the locale's medium style, without the time: "Mar 5, 2025",
// "5 мар. 2025 г.", "2025年3月5日". QLocale has no medium style (only long,
// short and narrow), so the text comes from ICU, whose locale data the desktop
// shares. The day is the instant's day in the user's time zone.
namespace MediumDateFormat {

// Empty only when ICU cannot format at all.
QString format(const QDateTime& instant, const QLocale& locale);

}  // namespace MediumDateFormat
