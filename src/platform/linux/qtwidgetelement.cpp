#include "platform/linux/qtwidgetelement.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QWindow>

namespace {

// The cursor of a text edit or plain text edit, nothing for other widgets.
std::optional<QTextCursor> textCursor(QWidget* widget) {
  if (auto* edit = qobject_cast<QTextEdit*>(widget)) return edit->textCursor();
  if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) return edit->textCursor();
  return std::nullopt;
}

bool isReadOnly(QWidget* widget) {
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return edit->isReadOnly();
  if (auto* edit = qobject_cast<QTextEdit*>(widget)) return edit->isReadOnly();
  if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) return edit->isReadOnly();
  return true;
}

QString selectedText(const QTextCursor& cursor) {
  // QTextCursor marks line ends with the paragraph separator.
  QString text = cursor.selectedText();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  text.replace(QChar::LineSeparator, QLatin1Char('\n'));
  return text;
}

}  // namespace

QtWidgetElement::QtWidgetElement(QWidget* widget) : widget_(widget) {}

bool QtWidgetElement::thisProcessIsInFront() {
  const QWindow* focus = QGuiApplication::focusWindow();
  return focus && !focus->flags().testFlag(Qt::WindowDoesNotAcceptFocus) &&
         QGuiApplication::applicationState() == Qt::ApplicationActive;
}

std::shared_ptr<QtWidgetElement> QtWidgetElement::focusedInThisProcess() {
  QWidget* focus = QApplication::focusWidget();
  if (!focus || !thisProcessIsInFront()) return nullptr;
  return std::make_shared<QtWidgetElement>(focus);
}

AXAttributeResult QtWidgetElement::copyAttributeValue(const QString& attribute) {
  QWidget* widget = widget_;
  if (!widget) return {AXError::invalidUIElement, {}};
  auto* line = qobject_cast<QLineEdit*>(widget);
  const std::optional<QTextCursor> cursor = textCursor(widget);

  if (attribute == AXAttribute::role) {
    if (line) return {AXError::success, QStringLiteral("AXTextField")};
    if (cursor) return {AXError::success, QStringLiteral("AXTextArea")};
    return {AXError::success, QStringLiteral("AXUnknown")};
  }
  if (attribute == AXAttribute::selectedText) {
    if (line) return {AXError::success, line->selectedText()};
    if (cursor) return {AXError::success, selectedText(*cursor)};
    return {AXError::attributeUnsupported, {}};
  }
  if (attribute == AXAttribute::selectedTextRange) {
    if (line) {
      if (!line->hasSelectedText()) return {AXError::success, AXTextRange{line->cursorPosition(), 0}};
      return {AXError::success, AXTextRange{line->selectionStart(), line->selectionLength()}};
    }
    if (cursor) {
      return {AXError::success, AXTextRange{cursor->selectionStart(), cursor->selectionEnd() - cursor->selectionStart()}};
    }
    return {AXError::attributeUnsupported, {}};
  }
  return {AXError::attributeUnsupported, {}};
}

AXSettableResult QtWidgetElement::isAttributeSettable(const QString& attribute) {
  QWidget* widget = widget_;
  if (!widget) return {AXError::invalidUIElement, false};
  if (attribute == AXAttribute::value) return {AXError::success, widget->isEnabled() && !isReadOnly(widget)};
  if (attribute == AXAttribute::selectedTextRange) {
    return {AXError::success, qobject_cast<QLineEdit*>(widget) || textCursor(widget)};
  }
  return {AXError::success, false};
}

QCoro::Task<qint32> QtWidgetElement::setAttributeValue(QString attribute, AXValue value) {
  co_return setAttributeValueNow(attribute, value);
}

qint32 QtWidgetElement::setAttributeValueNow(const QString& attribute, const AXValue& value) {
  QWidget* widget = widget_;
  if (!widget) return AXError::invalidUIElement;
  if (attribute != AXAttribute::selectedTextRange) return AXError::attributeUnsupported;
  const auto* range = std::get_if<AXTextRange>(&value);
  if (!range || !range->isRepresentable()) return AXError::illegalArgument;
  const int start = int(range->location);
  const int end = int(range->location + range->length);

  if (auto* line = qobject_cast<QLineEdit*>(widget)) {
    if (end > line->text().size()) return AXError::illegalArgument;
    if (range->length == 0) {
      line->setCursorPosition(start);
    } else {
      line->setSelection(start, int(range->length));
    }
    return AXError::success;
  }
  std::optional<QTextCursor> cursor = textCursor(widget);
  if (!cursor) return AXError::attributeUnsupported;
  // The document counts a final paragraph separator that no cursor can pass.
  if (end > cursor->document()->characterCount() - 1) return AXError::illegalArgument;
  cursor->setPosition(start);
  cursor->setPosition(end, QTextCursor::KeepAnchor);
  if (auto* edit = qobject_cast<QTextEdit*>(widget)) edit->setTextCursor(*cursor);
  if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) edit->setTextCursor(*cursor);
  return AXError::success;
}
