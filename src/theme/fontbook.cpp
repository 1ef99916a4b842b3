#include "theme/fontbook.h"

#include "theme/fonttables.h"
#include "theme/themelogging.h"

#include <QDirIterator>
#include <QFile>
#include <QFontDatabase>
#include <QRawFont>

#include <algorithm>

namespace {

// Noto CJK families by the interface language that wants its glyph forms first.
const QStringList& cjkFamilies() {
  static const QStringList families{QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans CJK TC"),
                                    QStringLiteral("Noto Sans CJK HK"), QStringLiteral("Noto Sans CJK KR"),
                                    QStringLiteral("Noto Sans CJK JP")};
  return families;
}

// Qt keeps one font engine, with its fallback list, per primary family and
// style strategy for the life of the process, so a later font with the same
// face would keep the first language's fallbacks. The strategy bits below
// change nothing for scalable faces (they choose among bitmap fonts) but give
// each CJK preference an engine of its own.
QFont::StyleStrategy strategyFor(const QString& preferredCjk) {
  const int base = QFont::PreferDefault;
  if (preferredCjk.endsWith(QLatin1String("TC"))) return QFont::StyleStrategy(base | QFont::PreferOutline);
  if (preferredCjk.endsWith(QLatin1String("HK"))) return QFont::StyleStrategy(base | QFont::PreferMatch);
  if (preferredCjk.endsWith(QLatin1String("KR"))) return QFont::StyleStrategy(base | QFont::PreferQuality);
  return QFont::PreferDefault;
}

QString preferredCjkFamily(const QString& language) {
  if (language == QLatin1String("zh-Hant")) return QStringLiteral("Noto Sans CJK TC");
  if (language == QLatin1String("yue")) return QStringLiteral("Noto Sans CJK HK");
  if (language == QLatin1String("ko")) return QStringLiteral("Noto Sans CJK KR");
  return QStringLiteral("Noto Sans CJK SC");
}

}  // namespace

FontBook& FontBook::shared() {
  static FontBook* book = new FontBook();  // kept for the life of the process
  return *book;
}

FontBook::FontBook() { loadEmbeddedFaces(); }

void FontBook::loadEmbeddedFaces() {
  QDirIterator files(QStringLiteral(":/fonts"), {QStringLiteral("*.woff"), QStringLiteral("*.ttf")}, QDir::Files);
  while (files.hasNext()) {
    const QString path = files.next();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) continue;
    const QByteArray data = file.readAll();
    const int id = QFontDatabase::addApplicationFontFromData(data);
    const QString family = QFontDatabase::applicationFontFamilies(id).value(0);
    const QRawFont raw(data, 12);
    const QString postScriptName = FontTables::postScriptName(raw);
    if (id < 0 || family.isEmpty() || postScriptName.isEmpty()) {
      qCWarning(lcTheme) << "could not load the font" << path;
      continue;
    }
    // The design weight, not Qt's reading of the style: it keeps Qt from
    // synthesising bold on a face that is already heavy, and picks fallback
    // faces of a matching weight.
    const int weight = FontTables::weightClass(raw);
    faces_.insert(postScriptName, Face{family, weight > 0 ? weight : int(QFont::Normal)});
  }
}

QFont FontBook::font(const QString& postScriptName, qreal size) const {
  return font(postScriptName, size, language_);
}

QFont FontBook::font(const QString& postScriptName, qreal size, const QString& language) const {
  QFont result;
  QStringList families = fallbackFamilies(language);
  const auto face = faces_.constFind(postScriptName);
  if (face != faces_.constEnd()) {
    families.prepend(face->family);
    result.setWeight(QFont::Weight(face->weight));
  } else {
    qCWarning(lcTheme) << "no embedded face named" << postScriptName;
  }
  result.setFamilies(families);
  result.setStyleStrategy(strategyFor(preferredCjkFamily(language)));
  result.setPixelSize(std::max(1, qRound(size)));
  return result;
}

bool FontBook::hasFace(const QString& postScriptName) const { return faces_.contains(postScriptName); }

QStringList FontBook::faceNames() const {
  QStringList names = faces_.keys();
  names.sort();
  return names;
}

void FontBook::setLanguage(const QString& language) {
  if (language == language_) return;
  language_ = language;
  Q_EMIT languageChanged();
}

QStringList FontBook::fallbackFamilies(const QString& language) {
  QStringList families{QStringLiteral("Noto Sans"), QStringLiteral("Noto Sans Symbols2"),
                       QStringLiteral("Noto Sans Math")};
  const QString preferred = preferredCjkFamily(language);
  families.append(preferred);
  for (const QString& family : cjkFamilies()) {
    if (family != preferred) families.append(family);
  }
  families.append(QStringLiteral("Noto Color Emoji"));
  return families;
}

