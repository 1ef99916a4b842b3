// The selection of a GTK 4 editor set over the accessibility bus. GTK 4 drops
// a selection it is asked to move, and applies one it is asked to add but
// never answers: a write answers once the editor shows the range, without
// waiting for that answer, and sends nothing more while it is outstanding.
#include "platform/linux/atspiaccessibility.h"
#include "platform/x11/x11frontapplication.h"

#include "awaittask.h"
#include "gnometexteditor.h"
#include "testenvironment.h"

#include <QCoroTimer>

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

class AtspiSelectionInAGtk4Editor : public ::testing::Test {
 protected:
  void SetUp() override {
    REQUIRE_TEST_DESKTOP();
    REQUIRE_GNOME_TEXT_EDITOR();
    FrontApplication::install(&front);  // the editor's field is given while it is in front
    accessibility.start();  // the registry runs before the editor starts
    ASSERT_TRUE(editor.open(QStringLiteral("hello brave new world")));
    ASSERT_TRUE(waitUntil(
        [&] {
          const AXAttributeResult focused = accessibility.application(qint32(editor.processId()))
                                                ->copyAttributeValue(AXAttribute::focusedUIElement);
          if (const auto* found = std::get_if<AXElementRef>(&focused.value)) field = *found;
          return field != nullptr;
        },
        20s))
        << editor.errors().toStdString();
    field->setMessagingTimeout(1000ms);
  }
  void TearDown() override { FrontApplication::install(nullptr); }

  qint32 select(AXTextRange range) {
    return awaitTask(field->setAttributeValue(AXAttribute::selectedTextRange, range));
  }
  AXValue later(const QString& attribute) { return awaitTask(field->copyAttributeValueLater(attribute)).value; }
  AXValue now(const QString& attribute) { return field->copyAttributeValue(attribute).value; }

  X11FrontApplication front;
  AtspiAccessibility accessibility;
  GnomeTextEditor editor;
  AXElementRef field;
};

TEST_F(AtspiSelectionInAGtk4Editor, IsSetWithoutWaitingForAnAnswerThatNeverComes) {
  EXPECT_EQ(select(AXTextRange{3, 0}), AXError::success);
  EXPECT_EQ(later(AXAttribute::selectedTextRange), AXValue(AXTextRange{3, 0}));

  // Nothing selected: added, which the editor never answers.
  EXPECT_EQ(select(AXTextRange{6, 5}), AXError::success);
  EXPECT_EQ(now(AXAttribute::selectedText), AXValue(QStringLiteral("brave")));
  EXPECT_EQ(select(AXTextRange{0, 5}), AXError::cannotComplete) << "asked again while the editor owes an answer";
  EXPECT_EQ(now(AXAttribute::selectedText), AXValue(QStringLiteral("brave")));

  // Once the editor's silence has run out its time: moved, which drops it in
  // GTK 4, and added again.
  qint32 moved = AXError::cannotComplete;
  for (int attempt = 0; attempt < 50 && moved == AXError::cannotComplete; ++attempt) {
    awaitTask(QCoro::sleepFor(100ms));
    moved = select(AXTextRange{0, 5});
  }
  EXPECT_EQ(moved, AXError::success);
  EXPECT_EQ(now(AXAttribute::selectedText), AXValue(QStringLiteral("hello")));

  // Read later, the same as read at once.
  for (const QString& attribute : {AXAttribute::role, AXAttribute::selectedText, AXAttribute::selectedTextRange}) {
    EXPECT_EQ(later(attribute), now(attribute)) << attribute.toStdString();
  }
}

}  // namespace
