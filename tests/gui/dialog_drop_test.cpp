#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <filesystem>

#include "dialog_fixture.h"
#include "messages/messages.h"

namespace vesk::gui::testing {
namespace {

const char* const kScene = "<NuvrelFile version=\"1.35\">\n</NuvrelFile>\n";

class FileDropOnDialog : public DialogTest {
 protected:
  // Drags `urls` onto the dialog and drops them there; true when the dialog took
  // the drop. The drop is handled once the event loop runs.
  bool drop(const QList<QUrl>& urls) {
    QMimeData mime;
    mime.setUrls(urls);
    const QPoint at = dialog->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(dialog.get(), &enter);
    if (!enter.isAccepted()) return false;
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction) << "dropped files are never moved";
    QDropEvent event(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, {});
    QCoreApplication::sendEvent(dialog.get(), &event);
    QCoreApplication::processEvents();
    return event.isAccepted();
  }
  bool dropFiles(const std::vector<std::string>& paths) {
    QList<QUrl> urls;
    for (const auto& p : paths) urls << QUrl::fromLocalFile(QString::fromStdString(p));
    return drop(urls);
  }

  TempDir dir;
};

TEST_F(FileDropOnDialog, FilesFillTheFieldsOfTheirRolesInDeliveryOrder) {
  const std::string scene = dir.write("a/s.nuv", kScene);
  const std::string landscape = dir.picture("a/t.png", "landscape.png");
  const std::string portrait = dir.picture("a/d.jpg", "portrait.jpg");
  const std::string square = dir.picture("a/q.bmp", "square.bmp");
  const std::string upper = dir.picture("a/SHOT.JPG", "landscape.png");
  const std::string text = dir.write("a/notes.txt", "text");

  ASSERT_TRUE(dropFiles({scene, landscape, portrait}));
  EXPECT_EQ(fields(), std::vector<std::string>({scene, landscape, portrait}));
  EXPECT_EQ(dialog->controller().browseStartPath(), scene);
  EXPECT_EQ(list()->count(), 0);
  EXPECT_EQ(count(), "") << "a drop does not write the count";

  ASSERT_TRUE(dropFiles({square}));
  EXPECT_EQ(fields()[1], square);
  ASSERT_TRUE(dropFiles({upper, text}));
  EXPECT_EQ(fields(), std::vector<std::string>({scene, upper, portrait}));
  EXPECT_TRUE(sink.questions.empty());

  click(1006);
  EXPECT_EQ(lines(), std::vector<std::string>{scene});
}

TEST_F(FileDropOnDialog, APictureWhoseSizeCannotBeReadFillsNoField) {
  const std::string broken = dir.write("broken.png", "not a picture");
  ASSERT_TRUE(dropFiles({broken}));
  EXPECT_EQ(fields(), std::vector<std::string>({"", "", ""}));
}

TEST_F(FileDropOnDialog, OnlyLocalFilesAreTaken) {
  EXPECT_FALSE(drop({QUrl(QStringLiteral("https://example.org/s.nuv"))}));
  EXPECT_EQ(fields(), std::vector<std::string>({"", "", ""}));
}

// Lays out an earlier package: folders 00.. with a scene, a landscape thumbnail and
// a portrait description, and exhibition.nuv at the top. Gives the document path.
std::string makePackage(const TempDir& dir, const std::string& name, int folders) {
  for (int f = 0; f < folders; ++f) {
    const std::string nn = name + "/0" + std::to_string(f) + "/";
    dir.write(nn + name + std::to_string(f) + ".nuv", kScene);
    dir.picture(nn + "t.png", "landscape.png");
    dir.picture(nn + "d.jpg", "portrait.jpg");
  }
  return dir.write(name + "/exhibition.nuv", kScene);
}

TEST_F(FileDropOnDialog, APackageDocumentAnsweredYesShowsItsEntries) {
  const std::string document = makePackage(dir, "pkg", 2);
  sink.answers = {true};
  ASSERT_TRUE(dropFiles({document}));
  EXPECT_EQ(sink.questions,
            std::vector<std::string>{
                "以前作成された展示用nuvファイルが入力されました。\n読み込みますか？"});
  EXPECT_EQ(lines(),
            std::vector<std::string>({dir.file("pkg/00/pkg0.nuv"), dir.file("pkg/01/pkg1.nuv")}));
  EXPECT_EQ(selectedRow(), 0);
  EXPECT_EQ(count(), "2");
  EXPECT_EQ(fields(),
            std::vector<std::string>(
                {dir.file("pkg/00/pkg0.nuv"), dir.file("pkg/00/t.png"), dir.file("pkg/00/d.jpg")}));
}

TEST_F(FileDropOnDialog, APackageDocumentAnsweredNoIgnoresTheRestOfTheDrop) {
  const std::string document = makePackage(dir, "pkg", 2);
  const std::string scene = dir.write("a.nuv", kScene);
  const std::string picture = dir.picture("b.png", "landscape.png");
  add("A");
  sink.answers = {false};
  ASSERT_TRUE(dropFiles({scene, document, picture}));
  EXPECT_EQ(sink.questions.size(), 1u);
  EXPECT_EQ(lines(), std::vector<std::string>{"/s/A.nuv"});
  EXPECT_EQ(fields(), std::vector<std::string>({scene, "/s/A_t.png", "/s/A_d.png"}));
  EXPECT_EQ(dialog->controller().browseStartPath(), scene);
}

TEST_F(FileDropOnDialog, TwoPackagesInOneDropLeaveTheSecond) {
  const std::string first = makePackage(dir, "one", 3);
  const std::string second = makePackage(dir, "two", 1);
  sink.answers = {true, true};
  ASSERT_TRUE(dropFiles({first, second}));
  EXPECT_EQ(sink.questions.size(), 2u);
  EXPECT_EQ(lines(), std::vector<std::string>{dir.file("two/00/two0.nuv")});
  EXPECT_EQ(count(), "1");
  EXPECT_EQ(fields()[0], dir.file("two/00/two0.nuv"));
}

TEST_F(FileDropOnDialog, MissingFilesAreReportedWithTheReimportedListInView) {
  const std::string document = makePackage(dir, "pkg", 2);
  std::filesystem::remove(dir.file("pkg/01/d.jpg"));
  std::vector<std::string> linesAtMessage;
  std::string countAtMessage;
  sink.onMessage = [&](const std::string&) {
    linesAtMessage = lines();
    countAtMessage = count();
  };
  sink.answers = {true};
  ASSERT_TRUE(dropFiles({document}));
  ASSERT_EQ(sink.messages.size(), 1u);
  EXPECT_EQ(sink.messages[0], "エラー　次のフォルダに足りないファイルがあります:\n01: 説明");
  EXPECT_EQ(linesAtMessage,
            std::vector<std::string>({dir.file("pkg/00/pkg0.nuv"), dir.file("pkg/01/pkg1.nuv")}));
  EXPECT_EQ(countAtMessage, "2");
}

// A Yes for an exhibition.nuv whose folder holds no folder 00 (a stray file of that
// name, or a document moved away from its package) keeps the list, the fields and
// the count, and says that no package was found there.
TEST_F(FileDropOnDialog, ADocumentWithoutFolder00KeepsTheListAndSaysSo) {
  struct Case {
    const char* what;
    std::string document;
  };
  const Case cases[] = {
      {"stray file", dir.write("stray/exhibition.nuv", kScene)},
      {"folder 01 only",
       [&] {
         const std::string document = makePackage(dir, "moved", 2);
         std::filesystem::rename(dir.file("moved/00"), dir.file("elsewhere"));
         return document;
       }()},
  };
  for (const Case& c : cases) {
    open();
    add("A");
    add("B");
    click(1010);  // B first and shown
    sink.messages.clear();
    sink.answers = {true};
    ASSERT_TRUE(dropFiles({c.document})) << c.what;
    EXPECT_EQ(lines(), std::vector<std::string>({"/s/B.nuv", "/s/A.nuv"})) << c.what;
    EXPECT_EQ(selectedRow(), 0) << c.what;
    EXPECT_EQ(dialog->controller().entryList().currentIndex(), 0) << c.what;
    EXPECT_EQ(fields(), std::vector<std::string>({"/s/B.nuv", "/s/B_t.png", "/s/B_d.png"}))
        << c.what;
    EXPECT_EQ(count(), "2") << c.what;
    const std::string folder = c.document.substr(0, c.document.rfind('/') + 1);
    EXPECT_EQ(sink.messages,
              std::vector<std::string>{std::string(kNoPackageFoundMessage) + "\n" + folder})
        << c.what;
  }
}

}  // namespace
}  // namespace vesk::gui::testing
