#include <windows.h>

#include <string>

#include "message_boxes.h"
#include "messages/messages.h"
#include "win_dialog_fixture.h"

namespace vesk::win::testing {
namespace {

// Enter in a question box presses its default button: Yes for the re-import, No for
// the replace of an earlier package.
TEST(WinMessageBoxes, EnterGivesTheQuestionsDefaultAnswer) {
  struct Case {
    DefaultAnswer defaultAnswer;
    int defaultButton;
    bool answer;
  };
  const Case cases[] = {{DefaultAnswer::Yes, IDYES, true}, {DefaultAnswer::No, IDNO, false}};
  for (const Case& c : cases) {
    MessageBoxSink sink;
    int defaultButton = 0;
    std::string text;
    whenModal([&](HWND box) {
      // The default button is drawn as such (BS_DEFPUSHBUTTON).
      for (const int id : {IDYES, IDNO}) {
        const LONG style = GetWindowLongW(GetDlgItem(box, id), GWL_STYLE);
        if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) defaultButton = id;
      }
      text = textOf(GetDlgItem(box, 0xFFFF));
      PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0);
      PostMessageW(GetFocus(), WM_KEYUP, VK_RETURN, 0);
    });
    const bool answer = sink.askYesNo(kReplaceQuestion, c.defaultAnswer);
    EXPECT_EQ(defaultButton, c.defaultButton);
    EXPECT_EQ(text, kReplaceQuestion);
    EXPECT_EQ(answer, c.answer);
  }
}

}  // namespace
}  // namespace vesk::win::testing
