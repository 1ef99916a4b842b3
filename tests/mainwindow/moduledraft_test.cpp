// A module prompt while it is edited: its limit, its switch, what is sent.
#include "mainwindow/moduledraft.h"

#include "core/charactercount.h"

#include <gtest/gtest.h>

namespace {

using State = ModuleDraft::State;

TEST(ModuleDraft, StateFollowsTheTrimmedPromptAndTheSwitch) {
  const struct {
    QString prompt;
    bool enabled;
    State state;
    std::optional<QString> sentPrompt;
    bool sentEnabled;
  } cases[] = {
      {QString(), false, State::builtIn, std::nullopt, false},
      {QStringLiteral(" \n\t "), true, State::builtIn, std::nullopt, false},  // as the service may send it
      {QStringLiteral("  Be brief.\n"), false, State::custom, QStringLiteral("Be brief."), false},
      {QStringLiteral("  Be brief.\n"), true, State::active, QStringLiteral("Be brief."), true},
  };
  for (const auto& c : cases) {
    const ModuleDraft draft{c.prompt, c.enabled};
    EXPECT_EQ(draft.state(), c.state) << c.prompt.toStdString();
    EXPECT_EQ(draft.saved(), std::make_pair(c.sentPrompt, c.sentEnabled)) << c.prompt.toStdString();
    EXPECT_EQ(draft.prompt, c.prompt) << "the edited text itself is never trimmed";
  }
}

TEST(ModuleDraft, EditingCutsToTheLimitAndABlankPromptSwitchesOff) {
  ModuleDraft draft{QStringLiteral("x"), true};
  draft.edit(QString(2500, QLatin1Char('a')));
  EXPECT_EQ(draft.prompt.size(), 2000);
  EXPECT_TRUE(draft.enabled) << "cutting leaves the switch";

  // Deleting the whole prompt of an active module switches it off...
  draft.edit(QString());
  EXPECT_FALSE(draft.enabled);
  // ...and typing again leaves it off until switched on.
  draft.edit(QStringLiteral("again"));
  EXPECT_EQ(draft.state(), State::custom);

  draft.enabled = true;
  draft.edit(QStringLiteral("   "));
  EXPECT_FALSE(draft.enabled);
  EXPECT_EQ(draft.prompt, QStringLiteral("   "));

  // The limit counts characters as people see them: an emoji with a skin
  // tone at the edge is kept whole or not at all.
  const QString thumb = QStringLiteral("\U0001F44D\U0001F3FD");
  draft.edit(QString(1999, QLatin1Char('a')) + thumb + QStringLiteral("bc"));
  EXPECT_EQ(characterCount(draft.prompt), 2000);
  EXPECT_TRUE(draft.prompt.endsWith(thumb));
}

TEST(ModuleDraft, ClearGoesBackToTheBuiltInPromptEvenWhenAlreadyEmpty) {
  for (const ModuleDraft& start : {ModuleDraft{QStringLiteral("text"), true}, ModuleDraft{QString(), true}}) {
    ModuleDraft draft = start;
    draft.clear();
    EXPECT_TRUE(draft.prompt.isEmpty());
    EXPECT_FALSE(draft.enabled);
  }
}

}  // namespace
