// The check's lines as the operator reads them, each typed whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <functional>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "base/failure.h"
#include "base/volume_info.h"
#include "package/failure_reason.h"
#include "package/package_check.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

const std::string kPictures = std::string(VESK_TEST_DATA_DIR) + "/pictures/";

// One sound entry in src/: a scene with a "Sur" group and a data file, a landscape
// thumbnail and a portrait description.
void writeSoundEntry(const test::TempDir& dir, CheckRequest& request) {
  dir.write("src/s.nuv",
            "<data name=\"v\"><file path=\"v.raw\" /></data>\r\n"
            "<drawGroup name=\"Surface\" ></drawGroup>\r\n");
  dir.write("src/v.raw", "volume");
  dir.copyFrom(kPictures + "landscape-320x240.jpg", "src/t.jpg");
  dir.copyFrom(kPictures + "portrait-480x640.png", "src/d.png");
  request.entries = {{dir.file("src/s.nuv"), dir.file("src/t.jpg"), dir.file("src/d.png"), {}}};
  request.destination = dir.file("package");
  request.programFolder = VESK_DATA_DIR;
  request.freeSpace = [](const std::string&) { return std::optional<std::uint64_t>(1ull << 40); };
}

// A file system that takes names of at most four bytes.
void shortNames(const test::TempDir& dir, CheckRequest& request) {
  VolumeInfo volume = volumeInfoOf(dir.path());
  volume.nameMax = 4;
  request.volume = [volume](const std::string&) { return volume; };
  request.windowsNames = false;
}

TEST(CheckText, EachProblemIsOneWholeLine) {
  struct Case {
    const char* name;
    std::function<void(const test::TempDir&, CheckRequest&)> spoil;
    std::function<std::string(const test::TempDir&)> line;
  };
  std::vector<Case> cases = {
      {"scene missing",
       [](const test::TempDir& d, CheckRequest&) { fs::remove(d.file("src/s.nuv")); },
       [](const test::TempDir& d) {
         return "エラー　00 nuvファイルが見つかりません: " + d.file("src/s.nuv");
       }},
      {"scene read fails",
       [](const test::TempDir&, CheckRequest& r) {
         r.readScene = [](const std::string& path) -> Result<std::vector<std::string>> {
           return makeFailure(FailureCode::ReadFailed, path, 5);
         };
       },
       [](const test::TempDir& d) {
         return "エラー　00 nuvファイルを読み取れません（" + systemReason(5) +
                "）: " + d.file("src/s.nuv");
       }},
      {"scene too large for the memory to be had",
       [](const test::TempDir&, CheckRequest& r) {
         r.readScene = [](const std::string&) -> Result<std::vector<std::string>> {
           throw std::bad_alloc();
         };
       },
       [](const test::TempDir& d) {
         return "エラー　00 nuvファイルを読み取れません（" + systemReason(outOfMemoryError()) +
                "）: " + d.file("src/s.nuv");
       }},
      {"scene with more elements than a package takes",
       [](const test::TempDir&, CheckRequest& r) {
         r.readScene = [](const std::string&) -> Result<std::vector<std::string>> {
           std::vector<std::string> lines;
           for (int i = 0; i <= 100; ++i) {
             lines.push_back("<drawGroup name=\"g" + std::to_string(i) + "Sur\" ></drawGroup>");
           }
           return lines;
         };
       },
       [](const test::TempDir& d) {
         return "エラー　00 nuvファイルのデータ要素または描画グループが100個を超えています"
                "（作成できません）: " +
                d.file("src/s.nuv");
       }},
      {"a draw group holding an unclosed <data",
       [](const test::TempDir& d, CheckRequest&) {
         d.write("src/s.nuv", "<drawGroup name=\"Surface\" <data name=\"x\" ></drawGroup>\r\n");
       },
       [](const test::TempDir& d) {
         return "エラー　00 nuvファイルの描画グループに </data> で閉じていない <data があります"
                "（展示用nuvファイルが正しく読めなくなります）: " +
                d.file("src/s.nuv");
       }},
      {"a Sur group the merge cannot number",
       [](const test::TempDir& d, CheckRequest&) {
         d.write("src/s.nuv", "<drawGroup layer=\"a\" name=\"Surface\" ></drawGroup>\r\n");
       },
       [](const test::TempDir& d) {
         return "警告　00 nuvファイルの描画グループ Surface の名前に項目番号が付きません"
                "（name= が drawGroup の直後にありません。メニューから移動できません）: " +
                d.file("src/s.nuv");
       }},
      {"no Sur group",
       [](const test::TempDir& d, CheckRequest&) {
         d.write("src/s.nuv", "<drawGroup name=\"Bone\" ></drawGroup>\r\n");
       },
       [](const test::TempDir& d) {
         return "警告　00 nuvファイルに名前に Sur を含む描画グループがありません"
                "（メニューから移動できません）: " +
                d.file("src/s.nuv");
       }},
      {"the same scene twice",
       [](const test::TempDir&, CheckRequest& r) { r.entries.push_back(r.entries[0]); },
       [](const test::TempDir& d) {
         return "警告　01 nuvファイルは次の項目にも登録されています: 00: " + d.file("src/s.nuv");
       }},
      {"picture name code page 932 cannot hold",
       [](const test::TempDir& d, CheckRequest& r) {
         r.entries[0].thumbnailPath =
             d.copyFrom(kPictures + "landscape-320x240.jpg", "src/t\xF0\x9F\x98\x80.jpg");
       },
       [](const test::TempDir& d) {
         return "エラー　00 サムネイルにShift_JISで表せない文字があります"
                "（U+1F600「t\xF0\x9F\x98\x80.jpg」）: " +
                d.file("src/t\xF0\x9F\x98\x80.jpg");
       }},
      {"thumbnail higher than wide",
       [](const test::TempDir& d, CheckRequest& r) {
         r.entries[0].thumbnailPath = d.copyFrom(kPictures + "portrait-480x640.png", "src/p.png");
       },
       [](const test::TempDir& d) {
         return "警告　00 "
                "サムネイルが縦長です（480×640）。パッケージを読み込み直すと説明として扱われます:"
                " " +
                d.file("src/p.png");
       }},
      {"description wider than high",
       [](const test::TempDir& d, CheckRequest& r) {
         r.entries[0].descriptionPath =
             d.copyFrom(kPictures + "landscape-320x240.jpg", "src/l.jpg");
       },
       [](const test::TempDir& d) {
         return "警告　00 "
                "説明文が横長です（320×240）。パッケージを読み込み直すとサムネイルとして扱われます:"
                " " +
                d.file("src/l.jpg");
       }},
      {"picture of a kind no size is read from",
       [](const test::TempDir& d, CheckRequest& r) {
         r.entries[0].descriptionPath = d.write("src/d.gif", "GIF89a");
       },
       [](const test::TempDir& d) {
         return "警告　00 説明文の画像サイズを読み取れません"
                "（拡張子が .jpg .jpeg .png .bmp ではありません）。"
                "パッケージを読み込み直すとこの画像は項目に入りません: " +
                d.file("src/d.gif");
       }},
      {"picture cut short",
       [](const test::TempDir& d, CheckRequest& r) {
         r.entries[0].thumbnailPath = d.write("src/cut.jpg", "\xFF\xD8\xFF");
       },
       [](const test::TempDir& d) {
         return "警告　00 サムネイルの画像サイズを読み取れません"
                "（JPEG・PNG・BMP として読めません。壊れているか途中で切れています）。"
                "パッケージを読み込み直すとこの画像は項目に入りません: " +
                d.file("src/cut.jpg");
       }},
      {"a data picture a re-import would take for the thumbnail",
       [](const test::TempDir& d, CheckRequest&) {
         // a.jpg sorts before t.jpg and stays a data file; zz.jpg comes after it.
         d.write("src/s.nuv",
                 "<data name=\"a\"><file path=\"a.jpg\" /></data>\r\n"
                 "<data name=\"z\"><file path=\"zz.jpg\" /></data>\r\n"
                 "<drawGroup name=\"Surface\" ></drawGroup>\r\n");
         d.copyFrom(kPictures + "landscape-320x240.jpg", "src/a.jpg");
         d.copyFrom(kPictures + "landscape-320x240.jpg", "src/zz.jpg");
       },
       [](const test::TempDir& d) {
         return "警告　00 パッケージを読み込み直すと、サムネイルとしてデータファイル zz.jpg "
                "が読み込まれます（同じ種類で名前が後に並ぶファイルです）: " +
                d.file("src/zz.jpg");
       }},
      {"data file missing",
       [](const test::TempDir& d, CheckRequest&) { fs::remove(d.file("src/v.raw")); },
       [](const test::TempDir& d) {
         return "エラー　00 データファイルが見つかりません: " + d.file("src/v.raw");
       }},
      {"a data value holding a NUL",
       [](const test::TempDir& d, CheckRequest&) {
         d.write("src/s.nuv",
                 "<data name=\"v\"><file path=\"v\0.raw\" /></data>\r\n"
                 "<drawGroup name=\"Surface\" ></drawGroup>\r\n"s);
       },
       [](const test::TempDir& d) {
         return "エラー　00 データファイルのパスにファイル名に使えない文字（NUL "
                "など）があります: " +
                d.file("src/v\0.raw"s);
       }},
      {"button image missing",
       [](const test::TempDir& d, CheckRequest& r) {
         d.makeFolder("program");
         r.programFolder = d.file("program");
       },
       [](const test::TempDir& d) {
         return "エラー　ボタン画像が見つかりません: " + d.file("program/up.jpg");
       }},
      {"a folder named like a button image in the destination",
       [](const test::TempDir& d, CheckRequest&) { d.makeFolder("package/up.jpg"); },
       [](const test::TempDir& d) {
         return "エラー　保存先フォルダを作れません（通常のファイルではありません"
                "（パイプやデバイスは読みません））: " +
                d.file("package/up.jpg");
       }},
      {"an earlier package",
       [](const test::TempDir& d, CheckRequest&) { d.makeFolder("package/00"); },
       [](const test::TempDir& d) {
         return "エラー　保存先には以前作成されたパッケージがあります（置き換えは指定されていません"
                "）: " +
                d.file("package");
       }},
      {"a destination name longer than the file system takes",
       [](const test::TempDir& d, CheckRequest& r) {
         r.destination = d.file("x/" + std::string(300, 'p'));
         r.windowsNames = false;
       },
       [](const test::TempDir& d) {
         return "エラー　保存先フォルダの名前が保存先のファイルシステムには長すぎます: " +
                d.file("x/" + std::string(300, 'p'));
       }},
      // What the package itself holds is named by what it is.
      {"a document name longer than the file system takes",
       [](const test::TempDir& d, CheckRequest& r) { shortNames(d, r); },
       [](const test::TempDir&) {
         return "エラー　展示用nuvファイルの名前が保存先のファイルシステムには長すぎます: "
                "exhibition.nuv"s;
       }},
      {"a button name longer than the file system takes",
       [](const test::TempDir& d, CheckRequest& r) { shortNames(d, r); },
       [](const test::TempDir&) {
         return "エラー　ボタン画像の名前が保存先のファイルシステムには長すぎます: up.jpg"s;
       }},
      {"a document path longer than the file system takes",
       [](const test::TempDir& d, CheckRequest& r) {
         VolumeInfo volume = volumeInfoOf(d.path());
         volume.pathMax = d.file("package/exhibition.nuv").size();
         r.volume = [volume](const std::string&) { return volume; };
       },
       [](const test::TempDir&) {
         return "エラー　展示用nuvファイルのパスが保存先のファイルシステムには長すぎます: "
                "exhibition.nuv"s;
       }},
  };
#ifndef _WIN32
  // Windows itself would take the reserved name for its device.
  cases.push_back(
      {"a data file whose name Windows reserves",
       [](const test::TempDir& d, CheckRequest&) {
         d.write("src/s.nuv",
                 "<data name=\"v\"><file path=\"con.raw\" /></data>\r\n"
                 "<drawGroup name=\"Surface\" ></drawGroup>\r\n");
         d.write("src/con.raw", "volume");
       },
       [](const test::TempDir&) {
         return "警告　00 データファイルの名前はWindowsで使えません（予約された名前）: " +
                test::nativePath("00/con.raw");
       }});
  // A POSIX name is bytes, not necessarily UTF-8.
  cases.push_back({"picture name that is not UTF-8",
                   [](const test::TempDir& d, CheckRequest& r) {
                     r.entries[0].thumbnailPath =
                         d.copyFrom(kPictures + "landscape-320x240.jpg", "src/t\xFF.jpg");
                   },
                   [](const test::TempDir& d) {
                     return "エラー　00 サムネイルの文字コードが正しくありません: " +
                            d.file("src/t\xFF.jpg");
                   }});
#endif
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir dir;
    CheckRequest request;
    writeSoundEntry(dir, request);
    c.spoil(dir, request);
    const std::string expected = c.line(dir);
    std::vector<std::string> lines;
    for (const CheckProblem& problem : checkPackage(request)) lines.push_back(problem.text);
    EXPECT_NE(std::find(lines.begin(), lines.end(), expected), lines.end())
        << expected << "\n"
        << ::testing::PrintToString(lines);
  }
}

// A system error's reason reads Japanese whatever language the system speaks (the
// tests run in the C locale): the errors file work meets by name, any other by its
// number beside the system's own text.
TEST(SystemReason, ReadsJapaneseWhateverTheSystemsLanguage) {
  struct Case {
    int error;
    std::string reason;
  };
  const Case cases[] = {
#ifdef _WIN32
      {2, "ファイルまたはフォルダが見つかりません"},
      {5, "アクセスが拒否されました"},
      {112, "ディスクの空き容量が足りません"},
      {32, "ほかのプログラムが使用中です"},
      {1117, "システムエラー 1117（" + systemErrorText(1117) + "）"},
#else
      {ENOENT, "ファイルまたはフォルダが見つかりません"},
      {EACCES, "アクセスが拒否されました"},
      {ENOSPC, "ディスクの空き容量が足りません"},
      {ENOTDIR, "途中にフォルダではないものがあります"},
      {EPROTO, "システムエラー " + std::to_string(EPROTO) + "（" + systemErrorText(EPROTO) + "）"},
#endif
      {0, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(systemReason(c.error), c.reason) << c.error;
}

}  // namespace
}  // namespace vesk
