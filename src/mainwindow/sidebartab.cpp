#include "mainwindow/sidebartab.h"

#include "localization/appstrings.h"

const std::array<SidebarTab, 5>& allSidebarTabs() {
  static constexpr std::array<SidebarTab, 5> tabs{SidebarTab::home, SidebarTab::dictionary, SidebarTab::persona,
                                                  SidebarTab::history, SidebarTab::settings};
  return tabs;
}

QString iconName(SidebarTab tab) {
  switch (tab) {
    case SidebarTab::home:
      return QStringLiteral("house");
    case SidebarTab::dictionary:
      return QStringLiteral("text.book.closed");
    case SidebarTab::persona:
      return QStringLiteral("person.text.rectangle");
    case SidebarTab::history:
      return QStringLiteral("clock");
    case SidebarTab::settings:
      return QStringLiteral("gearshape");
  }
  return QString();
}

QString label(SidebarTab tab) {
  const AppStrings& strings = currentStrings();
  switch (tab) {
    case SidebarTab::home:
      return strings.sidebarHome;
    case SidebarTab::dictionary:
      return strings.sidebarDict;
    case SidebarTab::persona:
      return strings.sidebarPersona;
    case SidebarTab::history:
      return strings.sidebarHistory;
    case SidebarTab::settings:
      return strings.sidebarSettings;
  }
  return QString();
}
