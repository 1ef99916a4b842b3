// What the request flow reads from the practice pages when the user presses
// a hotkey there: the read-only sample is a selection that cannot be edited
// (its rewrite shows in the floating panel), the exercise field one that can.
#include "awaittask.h"
#include "fakeaccessibilitytrust.h"
#include "onboarding/trialfield.h"
#include "onboarding/trialrewriteeditableview.h"
#include "onboarding/trialrewritereadonlyview.h"
#include "onboarding/trialsampletext.h"
#include "pipeline/selectionsnapshot.h"
#include "platform/linux/atspiaccessibility.h"
#include "platform/linux/qtwidgetelement.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QTextEdit>

#include <gtest/gtest.h>

namespace {

class PracticeSelection : public ::testing::Test {
 protected:
  PracticeSelection() { Accessibility::install(&accessibility); }
  ~PracticeSelection() override { Accessibility::install(nullptr); }

  // Shows `page`, focuses `widget` and selects `length` characters from `start`.
  template <typename Edit>
  void selectIn(QWidget& page, Edit* widget, int start, int length) {
    page.show();
    page.activateWindow();
    widget->setFocus();
    ASSERT_TRUE(waitUntil([&] { return QApplication::focusWidget() == widget && QtWidgetElement::thisProcessIsInFront(); }));
    QTextCursor cursor = widget->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    widget->setTextCursor(cursor);
  }

  FakeAccessibilityTrust trust{true};
  AtspiAccessibility accessibility;
};

TEST_F(PracticeSelection, TheReadOnlySampleIsASelectionThatCannotBeEdited) {
  TrialRewriteReadonlyView page(false);
  selectIn(page, page.sample()->textView(), 4, 11);
  const std::optional<SelectionSnapshot> snapshot = SelectionSnapshot::capture();
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->text, page.sample()->sample().mid(4, 11));
  EXPECT_EQ(snapshot->isEditable, false);
}

TEST_F(PracticeSelection, TheExerciseFieldIsAnEditableSelection) {
  TrialRewriteEditableView page(false);
  selectIn(page, page.field()->editor(), 0, 15);
  const std::optional<SelectionSnapshot> snapshot = SelectionSnapshot::capture();
  ASSERT_TRUE(snapshot);
  EXPECT_EQ(snapshot->text, page.fieldText().left(15));
  EXPECT_EQ(snapshot->isEditable, true);
}

}  // namespace
