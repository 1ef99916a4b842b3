#pragma once

#include <QString>

#include <optional>

// The versions every diagnostic report carries.

// The program's short version ("0.1.0"), or "unknown" when it has none.
QString appVersionString();

// The running system's version as three decimal numbers joined by dots, for
// example "12.0.0" on Debian 12. See versionstrings.cpp for where it comes from.
QString osVersionString();

// The first one to three dot-separated numbers at the start of `text`, padded
// with zeros to three ("22.04" gives "22.4.0", "6.1.0-18-amd64" gives "6.1.0");
// nothing when `text` does not start with a number.
std::optional<QString> threePartVersion(const QString& text);
