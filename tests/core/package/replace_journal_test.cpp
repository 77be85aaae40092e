#include "package/replace_journal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace vesk {
namespace {

TEST(ReplaceJournal, ReadsBackWhatItWroteAndNothingElse) {
  test::TempDir dir;
  const ReplaceJournal journal{
      {"00", "04", "exhibition.nuv"}, {"00", "01", "exhibition.nuv"}, {"02", "03"}, {{"04", "01"}}};
  ASSERT_TRUE(writeJournal(dir.path(), journal));
  const auto read = readJournal(dir.path());
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->earlier, journal.earlier);
  EXPECT_EQ(read->incoming, journal.incoming);
  EXPECT_EQ(read->kept, journal.kept);
  EXPECT_EQ(read->moved, journal.moved);
  EXPECT_EQ(dir.read(kJournalName),
            "Vesk replace journal 1\nearlier 00\nearlier 04\nearlier exhibition.nuv\n"
            "incoming 00\nincoming 01\nincoming exhibition.nuv\nkept 02\nkept 03\nmoved 04 01\n");
  EXPECT_FALSE(readJournal(dir.file("missing")).has_value());
  // Far more than any package's journal takes is not read at all.
  std::string huge = "Vesk replace journal 1\n";
  while (huge.size() <= 70000) huge += "kept 02\n";
  dir.write(kJournalName, huge);
  EXPECT_FALSE(readJournal(dir.path()).has_value());

  // A member is an entry folder or a file at the top of a package: nothing that would
  // lead a recovery elsewhere or to an operator's own file.
  for (const std::string text : {
           "",
           "another heading\nearlier 00\n",
           "Vesk replace journal 1\nearlier\n",
           "Vesk replace journal 1\nearlier ..\n",
           "Vesk replace journal 1\nincoming ../outside\n",
           "Vesk replace journal 1\nincoming 00\\x\n",
           "Vesk replace journal 1\nmoved 00\n",
           "Vesk replace journal 1\nkept ../02\n",
           "Vesk replace journal 1\nmoved 04\n",
           "Vesk replace journal 1\nmoved 04 ..\n",
           "Vesk replace journal 1\nmoved 04 01/x\n",
           "Vesk replace journal 1\nincoming notes.txt\n",
           "Vesk replace journal 1\nearlier 100\n",
           "Vesk replace journal 1\nmoved 04 ex\n",
       }) {
    EXPECT_FALSE(parseJournal(text).has_value()) << text;
  }
  EXPECT_TRUE(parseJournal("Vesk replace journal 1\n").has_value())
      << "a create moves nothing aside";
}

}  // namespace
}  // namespace vesk
