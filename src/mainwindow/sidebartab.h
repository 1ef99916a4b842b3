#pragma once

#include <QString>

#include <array>

// The pages of the main window, in the order the sidebar lists them.
enum class SidebarTab { home, dictionary, persona, history, settings };

// All five, in sidebar order.
const std::array<SidebarTab, 5>& allSidebarTabs();

// The symbol of the tab's sidebar entry ("house", "text.book.closed", ...).
QString iconName(SidebarTab tab);

// The entry's label in the current interface language.
QString label(SidebarTab tab);
