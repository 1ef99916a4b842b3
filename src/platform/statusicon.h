#pragma once

#include <QByteArray>
#include <QColor>
#include <QKeySequence>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QMenu;

// The program's icon in the desktop's tray and the menu it opens: the
// program's only permanent presence.
//
// The program hands over the whole menu whenever something in it changes, so
// that the tray holds it complete before the first click and shows what
// changed in place. The idle image is a one-colour drawing that the icon
// shows in the colour the tray's panel asks for (as a template image follows
// the menu bar); the recording image keeps its own colours.
//
// The program installs the real implementation's factory at start-up (app/);
// tests install a fake. Until then create() gives an icon that shows nothing.
class StatusIcon : public QObject {
  Q_OBJECT

 public:
  // One line of the menu; a separator where the title is empty.
  struct MenuEntry {
    QString title;
    bool enabled = true;
    QKeySequence shortcut;

    bool isSeparator() const { return title.isEmpty(); }
    bool operator==(const MenuEntry&) const = default;
  };
  using Menu = QList<MenuEntry>;

  // SVG drawings: `idle` in one colour (the icon chooses it), `recording` in
  // its own colours.
  struct Images {
    QByteArray idle;
    QByteArray recording;
  };

  using Factory = std::function<std::unique_ptr<StatusIcon>()>;

  ~StatusIcon() override = default;

  virtual void setImages(const Images& images) = 0;
  virtual void setRecording(bool recording) = 0;
  // The menu from now on; the tray shows it as it is at each opening.
  virtual void setMenu(const Menu& menu) = 0;
  // Puts the icon in the tray (once a tray is there).
  virtual void show() = 0;
  // Opens the menu at the pointer, as a click on the icon does.
  virtual void popUpMenu() = 0;

  static std::unique_ptr<StatusIcon> create();
  // Installs the factory used by create(); an empty function uninstalls it.
  static void installFactory(Factory factory);

  // `drawing` with every part that names no colour of its own filled with `color`.
  static QByteArray filled(const QByteArray& drawing, const QColor& color);
  // The colour for a one-colour image on a panel: the text colour the panel
  // names where it contrasts with what it shows, else black or white,
  // whichever stands out more from the panel's background; `fallback` where
  // nothing is known of the panel.
  static QColor idleColor(const QColor& panelText, const QColor& panelBackground, const QColor& fallback);

 Q_SIGNALS:
  // The user chose the entry at `index` of the menu last set.
  void entryChosen(int index);
  // The tray is about to show the menu: a last chance to bring it up to date.
  void menuAboutToShow();

 protected:
  // Fills `menu` with `entries`, whose choice emits entryChosen.
  void fillMenu(QMenu& menu, const Menu& entries);
};
