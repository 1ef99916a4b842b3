#pragma once

#include "localization/appstrings.h"

// The six tables, one per file (strings_<language>.cpp). Callers go through
// stringsFor() or currentStrings().
const AppStrings& Strings_zh();
const AppStrings& Strings_zhHant();
const AppStrings& Strings_yue();
const AppStrings& Strings_en();
const AppStrings& Strings_ru();
const AppStrings& Strings_ko();
