#pragma once

#include <QFont>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>

// The program's own type faces, embedded as resources, and the fonts that
// stand in for the scripts they lack.
//
// Qt names the embedded faces its own way ("Rajdhani SemiBold" is a family of
// its own, Rajdhani Bold is family "Rajdhani", and asking "Rajdhani" for a
// medium weight yields the Bold face), so the book reads each file's
// PostScript name when it loads it and hands out fonts by that name.
//
// Rajdhani and Orbitron cover Latin only. Every font the book makes carries a
// list of fallback families in order: Noto Sans (Cyrillic), the Noto symbol
// fonts (⟐ ◈ ▸ ⏳ ...), the Noto CJK faces with the interface language's own
// first (the same character is drawn differently in simplified Chinese,
// traditional Chinese, Hong Kong and Korean use), and colour emoji (🦞).
//
// The interface language is given as its raw value ("zh", "zh-Hant", "yue",
// "en", "ru", "ko"). The application keeps `language` equal to the language
// manager's current language, so views simply ask for fonts and get the right
// fallbacks; a view that knows better passes the language explicitly.

class FontBook : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString language READ language WRITE setLanguage NOTIFY languageChanged)

 public:
  static FontBook& shared();

  // The face named `postScriptName` ("Orbitron-Black") at `size` logical
  // pixels (rounded to whole pixels), with the fallbacks of the current
  // language or of `language`. A face the book does not hold gives the
  // fallback fonts alone.
  QFont font(const QString& postScriptName, qreal size) const;
  QFont font(const QString& postScriptName, qreal size, const QString& language) const;

  // Whether the face was loaded from the resources.
  bool hasFace(const QString& postScriptName) const;
  QStringList faceNames() const;

  QString language() const { return language_; }
  void setLanguage(const QString& language);

  // The fallback families, in order, for an interface language.
  static QStringList fallbackFamilies(const QString& language);

 Q_SIGNALS:
  void languageChanged();

 private:
  FontBook();
  void loadEmbeddedFaces();

  struct Face {
    QString family;
    int weight = QFont::Normal;
  };
  QHash<QString, Face> faces_;
  QString language_;
};
