#include "core/ui_port/prompts.h"

#include <gtest/gtest.h>

namespace zizara::core::ui_port {
namespace {

TEST(ScriptedPromptsTest, UnscriptedQuestionsTakeTheSafeAnswer) {
  ScriptedPrompts p;
  EXPECT_FALSE(p.Confirm("Proceed?"));
  EXPECT_EQ(p.ConfirmOrCancel("Save?"), Answer::kCancel);
  p.Queue(Answer::kYes);
  p.Error("Broken.");  // plain messages do not consume scripted answers
  EXPECT_TRUE(p.Confirm("Really?"));
  ASSERT_EQ(p.records().size(), 4u);
  EXPECT_EQ(p.records()[2].kind, PromptKind::kError);
  EXPECT_EQ(p.records()[2].answer, Answer::kOk);
}

TEST(PromptTextTest, CarriageReturnsBecomeLines) {
  EXPECT_EQ(PromptTextForConsole("a\rb\r\nc"), QStringLiteral("a\nb\nc"));
}

}  // namespace
}  // namespace zizara::core::ui_port
