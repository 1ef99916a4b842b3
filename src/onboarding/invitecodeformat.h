#pragma once

#include <QString>

// How an invite code is typed and shown. A code is 8 characters of a
// 31-character alphabet: the Latin capitals without I, L and O, and the digits
// 2 to 9, so no two characters can be mistaken for each other. The field
// shows it as two groups of four joined by "-".
namespace InviteCodeFormat {

constexpr int length = 8;

// "ABCDEFGHJKMNPQRSTUVWXYZ23456789".
const QString& alphabet();

// Only the alphabet's characters of `text`, in order: a formatted code gives
// its 8 characters without the hyphen.
QString clean(const QString& text);

// What the field shows for whatever was typed or pasted: upper-cased (fully:
// "ß" is "SS"), reduced to alphabet characters, cut to 8, and split "ABCD-E"
// once a fifth character is there. Formatting a formatted text changes
// nothing, so a field that writes the result back settles at once.
QString format(const QString& text);

}  // namespace InviteCodeFormat
