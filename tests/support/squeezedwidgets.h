#pragma once

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <QWidget>

#include <string>
#include <vector>

// The shown widgets under `root` that were given less room than their text
// needs, one line each: a label narrower than its line or lower than its
// wrapped lines, a field lower than its text, a painted button smaller than
// its label, any other widget lower than its content at its width. Lay the root out (show it) first. Long translations are what
// usually squeezes a view, so tests run this in every interface language.
inline std::vector<std::string> squeezedWidgets(const QWidget& root) {
  std::vector<std::string> found;
  const auto note = [&found](const QWidget* widget, const QString& text, QSize has, QSize needs) {
    found.push_back(QStringLiteral("%1 \"%2\": %3x%4, needs %5x%6")
                        .arg(QString::fromLatin1(widget->metaObject()->className()), text)
                        .arg(has.width())
                        .arg(has.height())
                        .arg(needs.width())
                        .arg(needs.height())
                        .toStdString());
  };
  for (QWidget* widget : root.findChildren<QWidget*>()) {
    if (!widget->isVisibleTo(&root)) continue;
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      if (label->text().isEmpty()) continue;
      if (label->wordWrap()) {
        const int needs = label->heightForWidth(label->width());
        if (label->height() < needs) note(label, label->text(), label->size(), QSize(label->width(), needs));
      } else if (label->width() < label->minimumSizeHint().width() ||
                 label->height() < label->minimumSizeHint().height()) {
        note(label, label->text(), label->size(), label->minimumSizeHint());
      }
    } else if (auto* field = qobject_cast<QLineEdit*>(widget)) {
      if (field->height() < field->minimumSizeHint().height()) {
        note(field, field->text(), field->size(), field->minimumSizeHint());
      }
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      const QSize needs = button->minimumSizeHint().isValid() ? button->minimumSizeHint() : button->sizeHint();
      if (!button->text().isEmpty() && (button->width() < needs.width() || button->height() < needs.height())) {
        note(button, button->text(), button->size(), needs);
      }
    } else if (widget->hasHeightForWidth() && widget->height() < widget->heightForWidth(widget->width())) {
      note(widget, widget->objectName(), widget->size(), QSize(widget->width(), widget->heightForWidth(widget->width())));
    }
  }
  return found;
}
