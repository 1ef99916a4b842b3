// While a window of this program is in front, its selection is read and put
// back from the focused widget, and the accessibility bus is never used (it
// would route the question back into this very thread).
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
    layout->addWidget(line);
    layout->addWidget(area);
    layout->addWidget(plain);
    layout->addWidget(button);
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
    if (const auto* range = std::get_if<AXTextRange>(&result.value)) {
      return QStringLiteral("{%1,%2}").arg(range->location).arg(range->length);
    }
    return QStringLiteral("other");
  }

  QWidget window;
  QLineEdit* line = new QLineEdit;
  QTextEdit* area = new QTextEdit;
  QPlainTextEdit* plain = new QPlainTextEdit;
  QPushButton* button = new QPushButton(QStringLiteral("OK"));
  AtspiAccessibility accessibility;
};

TEST_F(OwnWindowSelection, ReadsAndRestoresTheSelectionOfTheFocusedWidget) {
  AXElementRef element = focusOn(line);
  ASSERT_TRUE(element);
  line->setSelection(6, 5);
  EXPECT_EQ(read(element, AXAttribute::selectedText), QStringLiteral("brave"));
  EXPECT_EQ(read(element, AXAttribute::selectedTextRange), QStringLiteral("{6,5}"));
  EXPECT_EQ(read(element, AXAttribute::role), QStringLiteral("AXTextField"));
  EXPECT_TRUE(element->isAttributeSettable(AXAttribute::value).settable);

  line->deselect();
  EXPECT_EQ(element->setAttributeValue(AXAttribute::selectedTextRange, AXTextRange{0, 5}), AXError::success);
  EXPECT_EQ(line->selectedText(), QStringLiteral("hello"));
  EXPECT_EQ(element->setAttributeValue(AXAttribute::selectedTextRange, AXTextRange{20, 5}), AXError::illegalArgument);

  line->setReadOnly(true);
  EXPECT_FALSE(element->isAttributeSettable(AXAttribute::value).settable);
  EXPECT_FALSE(accessibility.busUsed());
}

TEST_F(OwnWindowSelection, MultiLineTextKeepsItsLineBreaks) {
  const std::vector<std::tuple<QWidget*, AXTextRange, QString>> cases = {
      {area, {6, 8}, QStringLiteral("line\nsec")},
      {plain, {6, 4}, QStringLiteral("beta")},
  };
  for (const auto& [widget, range, text] : cases) {
    AXElementRef element = focusOn(widget);
    ASSERT_TRUE(element);
    EXPECT_EQ(read(element, AXAttribute::role), QStringLiteral("AXTextArea"));
    EXPECT_EQ(element->setAttributeValue(AXAttribute::selectedTextRange, range), AXError::success);
    EXPECT_EQ(read(element, AXAttribute::selectedTextRange), QStringLiteral("{%1,%2}").arg(range.location).arg(range.length));
    EXPECT_EQ(read(element, AXAttribute::selectedText), text);
    EXPECT_EQ(element->setAttributeValue(AXAttribute::selectedTextRange, AXTextRange{range.location, 40}),
              AXError::illegalArgument);
  }
  EXPECT_FALSE(accessibility.busUsed());
}

TEST_F(OwnWindowSelection, OtherWidgetsHaveNoTextAndGoneWidgetsAreInvalid) {
  AXElementRef element = focusOn(button);
  ASSERT_TRUE(element);
  EXPECT_EQ(element->copyAttributeValue(AXAttribute::selectedText).error, AXError::attributeUnsupported);
  EXPECT_FALSE(element->isAttributeSettable(AXAttribute::value).settable);

  AXElementRef lineElement = focusOn(line);
  delete line;
  line = nullptr;
  EXPECT_EQ(lineElement->copyAttributeValue(AXAttribute::selectedText).error, AXError::invalidUIElement);
  EXPECT_EQ(lineElement->setAttributeValue(AXAttribute::selectedTextRange, AXTextRange{0, 1}),
            AXError::invalidUIElement);
  EXPECT_FALSE(accessibility.busUsed());
}

TEST_F(OwnWindowSelection, ThisProcessAskedByItsPidAnswersFromTheWidgetToo) {
  focusOn(line);
  line->setSelection(0, 5);
  const AXAttributeResult focused = accessibility.application(qint32(QCoreApplication::applicationPid()))
                                        ->copyAttributeValue(AXAttribute::focusedUIElement);
  ASSERT_EQ(focused.error, AXError::success);
  EXPECT_EQ(read(std::get<AXElementRef>(focused.value), AXAttribute::selectedText), QStringLiteral("hello"));
  EXPECT_FALSE(accessibility.busUsed());
}

}  // namespace
