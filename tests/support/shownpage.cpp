#include "shownpage.h"

#include "awaittask.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMovie>
#include <QPixmap>

namespace {

QString describe(const QWidget* widget, const QString& text) {
  const QString name = QString::fromLatin1(widget->metaObject()->className()) +
                       (widget->objectName().isEmpty() ? QString() : QLatin1Char('#') + widget->objectName());
  return text.isEmpty() ? name : QStringLiteral("%1 \"%2\"").arg(name, text.left(40));
}

QString sizeText(QSize size) { return QStringLiteral("%1x%2").arg(size.width()).arg(size.height()); }

// The text the widget shows, if it is one that shows a text.
QString shownText(const QWidget* widget) {
  if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
  if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
  if (auto* field = qobject_cast<const QLineEdit*>(widget)) return field->text().isEmpty() ? field->placeholderText() : field->text();
  return {};
}

bool showsNothing(const QWidget* widget) {
  if (!widget->accessibleName().isEmpty()) return false;
  if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text().isEmpty() && label->pixmap().isNull() && !label->movie();
  if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text().isEmpty() && button->icon().isNull();
  return false;
}

std::optional<QSize> cut(const QWidget* widget, QSize needs) {
  if (widget->width() < needs.width() || widget->height() < needs.height()) return needs;
  return std::nullopt;
}

// Given less room than its text needs (an elided label asks only for its
// ellipsis, so it passes).
std::optional<QSize> roomNeeded(const QWidget* widget) {
  if (auto* label = qobject_cast<const QLabel*>(widget)) {
    if (label->text().isEmpty()) return std::nullopt;
    const QSize needs =
        label->wordWrap() ? QSize(label->width(), label->heightForWidth(label->width())) : label->minimumSizeHint();
    return cut(widget, needs);
  }
  if (auto* field = qobject_cast<const QLineEdit*>(widget)) return cut(widget, QSize(0, field->minimumSizeHint().height()));
  if (auto* button = qobject_cast<const QAbstractButton*>(widget)) {
    if (button->text().isEmpty()) return std::nullopt;
    return cut(widget, button->minimumSizeHint().isValid() ? button->minimumSizeHint() : button->sizeHint());
  }
  if (widget->hasHeightForWidth()) return cut(widget, QSize(widget->width(), widget->heightForWidth(widget->width())));
  return std::nullopt;
}

bool holds(const QLayout* layout, const QWidget* widget) {
  for (int i = 0; i < layout->count(); ++i) {
    QLayoutItem* item = layout->itemAt(i);
    if (item->widget() == widget) return true;
    if (item->layout() && holds(item->layout(), widget)) return true;
  }
  return false;
}

// Qt's own parts of a composite widget (a scroll area's viewport and bars, a
// field's buttons) are placed by their owner, not by a layout of ours.
bool placedByQt(const QWidget* widget) {
  if (widget->objectName().startsWith(QLatin1String("qt_"))) return true;
  const QWidget* parent = widget->parentWidget();
  return qobject_cast<const QAbstractScrollArea*>(parent) != nullptr || qobject_cast<const QLineEdit*>(parent);
}

// Drawn behind or around the others and never reached by the mouse: a glow, a
// listener without a look.
bool decorative(const QWidget* widget) {
  return widget->testAttribute(Qt::WA_TransparentForMouseEvents) && shownText(widget).isEmpty();
}

bool isScrollContent(const QWidget* widget) {
  const QWidget* parent = widget->parentWidget();
  if (!parent) return false;
  auto* area = qobject_cast<const QAbstractScrollArea*>(parent->parentWidget());
  return area && area->viewport() == parent;
}

// The part of the widget that can be seen: cut by every parent up to `root`.
QRect visibleRect(const QWidget* widget, const QWidget& root) {
  QRect seen(widget->mapTo(&root, QPoint(0, 0)), widget->size());
  for (const QWidget* up = widget->parentWidget(); up && up != &root; up = up->parentWidget())
    seen &= QRect(up->mapTo(&root, QPoint(0, 0)), up->size());
  return seen & root.rect();
}

}  // namespace

std::vector<std::string> shownPageFaults(const QWidget& root) {
  std::vector<std::string> faults;
  const auto note = [&faults](const QString& line) { faults.push_back(line.toStdString()); };

  struct Text {
    const QWidget* widget;
    QRect seen;
  };
  std::vector<Text> texts;

  for (QWidget* widget : root.findChildren<QWidget*>()) {
    // A sheet or popover that belongs to the root is a window of its own:
    // check it on its own.
    if (widget->window() != root.window() || !widget->isVisibleTo(&root)) continue;
    const QString text = shownText(widget);

    if (const auto needs = roomNeeded(widget))
      note(QStringLiteral("%1 is cut: %2, needs %3").arg(describe(widget, text), sizeText(widget->size()), sizeText(*needs)));
    if (showsNothing(widget)) note(QStringLiteral("%1 shows nothing").arg(describe(widget, text)));

    const QWidget* parent = widget->parentWidget();
    if (decorative(widget)) continue;
    if (parent && !isScrollContent(widget) && !placedByQt(widget) &&
        !QRect(QPoint(0, 0), parent->size()).adjusted(-1, -1, 1, 1).contains(widget->geometry())) {
      note(QStringLiteral("%1 reaches outside its parent %2: %3 at %4,%5 in %6")
               .arg(describe(widget, text), describe(parent, {}), sizeText(widget->size()))
               .arg(widget->x())
               .arg(widget->y())
               .arg(sizeText(parent->size())));
    }
    if (parent && parent->layout() && !holds(parent->layout(), widget) && !placedByQt(widget) &&
        !widget->property("floating").toBool()) {
      note(QStringLiteral("%1 is not in its parent's layout").arg(describe(widget, text)));
    }
    if (!text.isEmpty()) {
      const QRect seen = visibleRect(widget, root);
      if (!seen.isEmpty()) texts.push_back({widget, seen});
    }
  }

  for (size_t i = 0; i < texts.size(); ++i) {
    for (size_t j = i + 1; j < texts.size(); ++j) {
      const Text& a = texts[i];
      const Text& b = texts[j];
      if (a.widget->isAncestorOf(b.widget) || b.widget->isAncestorOf(a.widget)) continue;
      const QRect both = a.seen & b.seen;
      if (both.width() > 2 && both.height() > 2)
        note(QStringLiteral("%1 and %2 overlap").arg(describe(a.widget, shownText(a.widget)), describe(b.widget, shownText(b.widget))));
    }
  }
  return faults;
}

void settleLayout() {
  waitUntil([] { return false; }, std::chrono::milliseconds(100));
}

std::vector<std::string> settledPageFaults(const QWidget& root) {
  settleLayout();
  std::vector<std::string> faults;
  waitUntil(
      [&] {
        faults = shownPageFaults(root);
        return faults.empty();
      },
      std::chrono::seconds(1));
  return faults;
}
