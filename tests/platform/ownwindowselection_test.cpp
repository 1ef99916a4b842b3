// With this program in front, the selection is read and put back from the focused widget, never
// through the accessibility bus (it would route the question back into this very thread).
#include "platform/linux/atspiaccessibility.h"
#include "platform/linux/qtwidgetelement.h"
#include "awaittask.h"
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

class OwnWindowSelection : public ::testing::Test {
 protected:
  void SetUp() override {
    auto* layout = new QVBoxLayout(&window);
    for (QWidget* widget : std::initializer_list<QWidget*>{line, area, plain, button}) layout->addWidget(widget);
    line->setText(QStringLiteral("hello brave new world"));
    area->setPlainText(QStringLiteral("first line\nsecond line"));
    plain->setPlainText(QStringLiteral("alpha beta"));
    window.show();
    window.activateWindow();
    ASSERT_TRUE(waitUntil([&] { return QtWidgetElement::thisProcessIsInFront(); }));
  }

  // The focused element as the desktop reports it, once `widget` has the focus.
  AXElementRef focusOn(QWidget* widget) {
    widget->setFocus();
    EXPECT_TRUE(waitUntil([&] { return QApplication::focusWidget() == widget; }));
    const AXAttributeResult focused = accessibility.systemWide()->copyAttributeValue(AXAttribute::focusedUIElement);
    EXPECT_EQ(focused.error, AXError::success);
    const auto* element = std::get_if<AXElementRef>(&focused.value);
    return element ? *element : nullptr;
  }

  static QString read(const AXElementRef& element, const QString& attribute) {
    const AXAttributeResult result = element->copyAttributeValue(attribute);
    if (result.error != AXError::success) return QStringLiteral("error %1").arg(result.error);
    if (const auto* text = std::get_if<QString>(&result.value)) return *text;
    const auto* range = std::get_if<AXTextRange>(&result.value);
    return range ? QStringLiteral("{%1,%2}").arg(range->location).arg(range->length) : QStringLiteral("other");
  }

  QWidget window;
  QLineEdit* line = new QLineEdit;
  QTextEdit* area = new QTextEdit;
  QPlainTextEdit* plain = new QPlainTextEdit;
  QPushButton* button = new QPushButton(QStringLiteral("OK"));
  AtspiAccessibility accessibility;
};

TEST_F(OwnWindowSelection, ReadsAndRestoresTheSelectionOfTheFocusedWidgetKeepingLineBreaks) {
  const std::tuple<QWidget*, AXTextRange, QString, QString> cases[] = {
      {line, {6, 5}, QStringLiteral("brave"), QStringLiteral("AXTextField")},
      {area, {6, 8}, QStringLiteral("line\nsec"), QStringLiteral("AXTextArea")},
      {plain, {6, 4}, QStringLiteral("beta"), QStringLiteral("AXTextArea")},
  };
  for (const auto& [widget, range, text, role] : cases) {
    AXElementRef element = focusOn(widget);
    ASSERT_TRUE(element);
    EXPECT_EQ(read(element, AXAttribute::role), role);
    EXPECT_EQ(awaitTask(element->setAttributeValue(AXAttribute::selectedTextRange, range)), AXError::success);
    EXPECT_EQ(read(element, AXAttribute::selectedTextRange), QStringLiteral("{%1,%2}").arg(range.location).arg(range.length));
    EXPECT_EQ(read(element, AXAttribute::selectedText), text);
    EXPECT_EQ(awaitTask(element->setAttributeValue(AXAttribute::selectedTextRange, AXTextRange{range.location, 40})),
              AXError::illegalArgument);
    EXPECT_TRUE(element->isAttributeSettable(AXAttribute::value).settable &&
                element->isAttributeSettable(AXAttribute::selectedTextRange).settable);
  }
  line->setSelection(0, 5);  // the user's own selection, read back, also asked by this process's id
  EXPECT_EQ(read(focusOn(line), AXAttribute::selectedText), QStringLiteral("hello"));
  line->setReadOnly(true);
  EXPECT_FALSE(focusOn(line)->isAttributeSettable(AXAttribute::value).settable);
  const AXAttributeResult focused = accessibility.application(qint32(QCoreApplication::applicationPid()))
                                        ->copyAttributeValue(AXAttribute::focusedUIElement);
  ASSERT_EQ(focused.error, AXError::success);
  EXPECT_EQ(read(std::get<AXElementRef>(focused.value), AXAttribute::selectedText), QStringLiteral("hello"));
  EXPECT_FALSE(accessibility.busUsed());
}

TEST_F(OwnWindowSelection, OtherWidgetsHaveNoTextAndGoneWidgetsAreInvalid) {
  AXElementRef element = focusOn(button);
  ASSERT_TRUE(element);
  EXPECT_EQ(element->copyAttributeValue(AXAttribute::selectedText).error, AXError::attributeUnsupported);
  EXPECT_FALSE(element->isAttributeSettable(AXAttribute::value).settable ||
               element->isAttributeSettable(AXAttribute::selectedTextRange).settable);
  AXElementRef lineElement = focusOn(line);
  delete line;
  EXPECT_EQ(lineElement->copyAttributeValue(AXAttribute::selectedText).error, AXError::invalidUIElement);
  EXPECT_EQ(awaitTask(lineElement->setAttributeValue(AXAttribute::selectedTextRange, AXTextRange{0, 1})),
            AXError::invalidUIElement);
  EXPECT_FALSE(accessibility.busUsed());
}

}  // namespace
