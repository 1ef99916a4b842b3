#pragma once

#include <QStringList>

// The test desktop's keyboard, typed on as a user would: through XTEST, by
// xdotool (so the tests need no X headers of their own). Keys are named as
// X names them ("alt" is Alt_L, "q", "Alt_R", "super").
namespace TestKeyboard {

// Runs one xdotool command line, for example
// {"keydown", "alt", "key", "q", "keyup", "alt"}; false when it failed.
bool run(const QStringList& arguments);

}  // namespace TestKeyboard
