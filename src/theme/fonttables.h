#pragma once

#include <QString>

class QRawFont;

// Reads the two facts about a loaded face that Qt does not report faithfully:
// its PostScript name (the name the views ask for) and its design weight
// (Qt reports "Rajdhani SemiBold" as a Regular face of weight 400).
namespace FontTables {

// Name 6 of the face's 'name' table, or an empty string when it has none.
QString postScriptName(const QRawFont& font);

// usWeightClass of the face's 'OS/2' table (100...900), or 0 when it has none.
int weightClass(const QRawFont& font);

}  // namespace FontTables
