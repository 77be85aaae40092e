#include "package/windows_names.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vesk {
namespace {

TEST(WindowsNames, FindsTheFirstFaultOfAPath) {
  using F = WindowsNameFault;
  const std::vector<std::pair<std::string, F>> cases = {
      {"00/scan/vol.raw", F::None},
#ifdef _WIN32
      {"00\\scan\\vol.raw", F::None},
#else
      {"00\\scan\\vol.raw", F::ForbiddenCharacter},  // a name holding "\\"
#endif
      {"00/CON", F::ReservedName},
      {"00/con.txt", F::ReservedName},
      {"00/Aux.tar.gz", F::ReservedName},
      {"00/nul/x.raw", F::ReservedName},
      {"00/COM1.dcm", F::ReservedName},
      {"00/lpt9", F::ReservedName},
      {"00/COM0.dcm", F::None},
      {"00/COM10.dcm", F::None},
      {"00/CONSOLE.raw", F::None},
      {"00/x.CON", F::None},
      {"00/ends.", F::TrailingDotOrBlank},
      {"00/ends /x.raw", F::TrailingDotOrBlank},
      {"00/a<b", F::ForbiddenCharacter},
      {"00/a>b", F::ForbiddenCharacter},
      {"00/a:b", F::ForbiddenCharacter},
      {"00/a\"b", F::ForbiddenCharacter},
      {"00/a|b", F::ForbiddenCharacter},
      {"00/a?b", F::ForbiddenCharacter},
      {"00/a*b", F::ForbiddenCharacter},
      {"00/a\x01"
       "b",
       F::ForbiddenCharacter},
      {"00/a\x1f"
       "b",
       F::ForbiddenCharacter},
      {"00/CON.", F::ReservedName},  // the first fault of the component
      {"00/日本語.raw", F::None},
  };
  for (const auto& [path, fault] : cases) {
    EXPECT_EQ(windowsPathFault("C:\\kiosk", path), fault) << path;
  }
}

TEST(WindowsNames, CountsTheWholePathInUtf16Units) {
  const std::string destination(250, 'd');  // with a separator: 251
  EXPECT_EQ(windowsPathFault(destination, std::string(8, 'x')), WindowsNameFault::None);  // 259
  EXPECT_EQ(windowsPathFault(destination, std::string(9, 'x')), WindowsNameFault::PathTooLong);
  EXPECT_EQ(windowsPathFault(destination + "/", std::string(8, 'x')), WindowsNameFault::None);
  // Three-byte characters count one unit, four-byte ones two.
  std::string japanese;
  for (int i = 0; i < 8; ++i) japanese += "語";
  EXPECT_EQ(windowsPathFault(destination, japanese), WindowsNameFault::None);
  EXPECT_EQ(windowsPathFault(destination, "xxxx\xF0\x9F\x98\x80xxx"),
            WindowsNameFault::PathTooLong);
  EXPECT_EQ(utf16Length("a語\xF0\x9F\x98\x80"), 4u);
}

}  // namespace
}  // namespace vesk
