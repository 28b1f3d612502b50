#include "core/config/configuration.h"

#include <gtest/gtest.h>

#include "core/ui_port/prompts.h"

namespace zizara::core::config {
namespace {

using ui_port::Answer;
using ui_port::PromptButtons;
using ui_port::PromptKind;
using ui_port::ScriptedPrompts;

struct SaveAsSpy {
  SaveAsOutcome outcome = SaveAsOutcome::kSaved;
  int calls = 0;
  std::function<SaveAsOutcome()> Fn() {
    return [this] {
      ++calls;
      return outcome;
    };
  }
};

TEST(CheckSaveChangesTest, UnmodifiedGoesOnWithoutAsking) {
  Configuration config;
  ScriptedPrompts prompts;
  SaveAsSpy spy;
  EXPECT_TRUE(CheckSaveChanges(config, prompts, spy.Fn()));
  EXPECT_TRUE(prompts.records().empty());
  EXPECT_EQ(spy.calls, 0);
}

TEST(CheckSaveChangesTest, AnswersDecide) {
  struct Case {
    Answer answer;
    SaveAsOutcome save_as;
    bool go_on;
    int save_calls;
  };
  const Case cases[] = {
      {Answer::kYes, SaveAsOutcome::kSaved, true, 1},
      {Answer::kYes, SaveAsOutcome::kCancelled, false, 1},
      {Answer::kNo, SaveAsOutcome::kSaved, true, 0},
      {Answer::kCancel, SaveAsOutcome::kSaved, false, 0},
  };
  for (const Case& c : cases) {
    Configuration config;
    config.modified = true;
    ScriptedPrompts prompts;
    prompts.Queue(c.answer);
    SaveAsSpy spy;
    spy.outcome = c.save_as;
    EXPECT_EQ(CheckSaveChanges(config, prompts, spy.Fn()), c.go_on);
    EXPECT_EQ(spy.calls, c.save_calls);
    EXPECT_TRUE(config.modified);  // only a real save clears it, inside Save As
    ASSERT_EQ(prompts.records().size(), 1u);
    EXPECT_EQ(prompts.records()[0].kind, PromptKind::kConfirmation);
    EXPECT_EQ(prompts.records()[0].buttons, PromptButtons::kYesNoCancel);
    EXPECT_EQ(prompts.records()[0].text, QStringLiteral("Do you wish to save the changes?"));
  }
}

TEST(ConfigurationTest, StartStateAndReset) {
  Configuration config;
  EXPECT_EQ(config.preset(), 0);
  EXPECT_EQ(config.map.RoutingTable, 0x1100);
  EXPECT_TRUE(config.trailer.HasValidMagicAndFormat());
  EXPECT_EQ(config.image.Byte(0x2000), 0);
  config.image.SetByte(0x2000, 9);
  config.modified = true;
  config.file_name = "x.PRE";
  EXPECT_EQ(config.SelectPreset(4)[0], QStringLiteral("     PresetOffset: $002A00"));
  config.Reset();
  EXPECT_EQ(config.image.Byte(0x2000), 0);
  EXPECT_FALSE(config.modified);
  EXPECT_TRUE(config.file_name.isEmpty());
  EXPECT_EQ(config.preset(), 0);
}

}  // namespace
}  // namespace zizara::core::config
