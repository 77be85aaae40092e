#include "messages/message_template.h"

#include <gtest/gtest.h>

namespace vesk {
namespace {

TEST(MessageTemplate, FillsEachPlaceholderOnceAndLeavesTheRest) {
  struct Case {
    const char* text;
    const char* expected;
  };
  const Case cases[] = {
      {"必要 {needed}、空き {free}）", "必要 2 KB、空き {x}）"},
      {"{free}{free}", "{x}{x}"},
      {"no placeholder", "no placeholder"},
      {"{unknown} stays", "{unknown} stays"},
      {"an open { without close", "an open { without close"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fillTemplate(c.text, {{"needed", "2 KB"}, {"free", "{x}"}}), c.expected) << c.text;
  }
}

}  // namespace
}  // namespace vesk
