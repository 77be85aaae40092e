#include <QHelpEvent>
#include <QLabel>
#include <filesystem>

#include "dialog_fixture.h"
#include "picture_preview.h"
#include "preview_cache.h"

namespace vesk::gui::testing {
namespace {

const std::string kPictures = std::string(VESK_TEST_DATA_DIR) + "/pictures/";

TEST(PicturePreviewLoad, ScalesDownKeepingProportionsOrSaysWhyItCannot) {
  TempDir dir;
  struct Case {
    std::string path;
    QSize box;
    QSize pixels;  // invalid: cannot be read
    QSize shown;
    const char* problem;
  };
  const Case cases[] = {
      {kPictures + "landscape-320x240.jpg", {160, 160}, {320, 240}, {160, 120}, ""},
      {kPictures + "portrait-480x640.png", {300, 400}, {480, 640}, {300, 400}, ""},
      {kPictures + "square-100x100.png", {320, 240}, {100, 100}, {100, 100}, ""},
      {dir.write("damaged.jpg", "\xff\xd8\xff not really"), {320, 240}, {}, {}, "画像"},
      {dir.write("notes.png", "plain text"), {320, 240}, {}, {}, "画像として読めません"},
      // A BMP of 9000 x 9000 pixels (its header; 324 MB decoded) passes Qt's limit.
      {dir.write("huge.bmp", std::string("BM\x36\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0"
                                         "\x28\x23\0\0\x28\x23\0\0\x01\0\x18\0",
                                         30) +
                                 std::string(24, '\0')),
       {320, 240},
       {},
       {},
       "大きすぎる"},
      {dir.file("gone.png"), {320, 240}, {}, {}, "ファイルがありません"},
      {[&] {
         std::filesystem::create_directories(dir.file("shots.jpg"));
         return dir.file("shots.jpg");
       }(),
       {320, 240},
       {},
       {},
       "フォルダです"},
  };
  for (const Case& c : cases) {
    const PicturePreview preview = loadPicturePreview(QString::fromStdString(c.path), c.box);
    if (c.pixels.isValid()) {
      EXPECT_EQ(preview.pixelSize, c.pixels) << c.path;
      EXPECT_EQ(preview.image.size(), c.shown) << c.path;
      EXPECT_TRUE(preview.problem.isEmpty()) << c.path;
    } else {
      EXPECT_TRUE(preview.image.isNull()) << c.path;
      EXPECT_TRUE(preview.problem.contains(QString::fromUtf8(c.problem)))
          << c.path << ": " << preview.problem.toStdString();
    }
  }
}

// The GUI thread never waits on a file: a kept preview is given at once, and whether
// its file has changed is looked at on a worker.
TEST(PreviewCacheReads, OffTheGuiThreadOnceAndAgainWhenTheFileChanges) {
  TempDir dir;
  const std::string path = dir.picture("t.png", "landscape.png");
  const QString file = QString::fromStdString(path);
  PreviewCache cache;
  int loads = 0;
  QObject::connect(&cache, &PreviewCache::loaded, [&](const QString&) { ++loads; });
  EXPECT_EQ(cache.preview(file, {320, 240}), nullptr) << "read on a worker, not here";
  // Asked again while the worker may still be reading (or just done): no second read.
  cache.preview(file, {320, 240});
  QTRY_COMPARE(loads, 1);
  QTest::qWait(50);
  EXPECT_EQ(loads, 1) << "one read for two asks";
  const PicturePreview* first = cache.preview(file, {320, 240});
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->pixelSize, QSize(8, 6));
  cache.waitForReads();
  QTest::qWait(50);
  EXPECT_EQ(loads, 1) << "an unchanged file is not read again";

  std::filesystem::copy_file(std::string(VESK_TEST_DATA_DIR) + "/gui/portrait.jpg", path,
                             std::filesystem::copy_options::overwrite_existing);
  std::filesystem::last_write_time(
      path, std::filesystem::last_write_time(path) + std::chrono::seconds(5));
  const PicturePreview* stale = cache.preview(file, {320, 240});
  ASSERT_NE(stale, nullptr) << "given at once, as last read";
  EXPECT_EQ(stale->pixelSize, QSize(8, 6));
  QTRY_COMPARE(loads, 2);
  ASSERT_NE(cache.preview(file, {320, 240}), nullptr);
  EXPECT_EQ(cache.preview(file, {320, 240})->pixelSize, QSize(6, 8));
}

using PreviewOnHover = DialogTest;

// The texts the preview tip shows once its pictures are read.
QStringList tipTexts(const PreviewTip* tip) {
  QStringList texts;
  for (const QLabel* label : tip->findChildren<QLabel*>()) {
    if (!label->text().isEmpty()) texts << label->text();
  }
  return texts;
}

TEST_F(PreviewOnHover, ALineShowsBothPicturesAndAFieldItsOwn) {
  TempDir dir;
  const std::string thumbnail = dir.picture("t.jpg", "landscape.png");
  dialog->controller().entryList().workingEntry() = {
      "/s/a.nuv", thumbnail, kPictures + "portrait-480x640.png", {}};
  click(1006);
  dialog->controller().entryList().workingEntry().thumbnailPath = dir.write("bad.png", "x");
  dialog->controller().showWorkingEntry();

  const QPoint line = list()->visualItemRect(list()->item(0)).center();
  QHelpEvent onLine(QEvent::ToolTip, line, list()->viewport()->mapToGlobal(line));
  QCoreApplication::sendEvent(list()->viewport(), &onLine);
  PreviewTip* tip = dialog->previewTip();
  ASSERT_TRUE(tip->isVisible());
  QTRY_VERIFY(tipTexts(tip).contains(QStringLiteral("480 × 640 ピクセル")));
  QTRY_VERIFY(tipTexts(tip).contains(QStringLiteral("8 × 6 ピクセル")));
  EXPECT_TRUE(tipTexts(tip).contains(QStringLiteral("サムネイル")));
  EXPECT_TRUE(tipTexts(tip).contains(QStringLiteral("説明")));

  QWidget* field = dialog->control(1002);
  QHelpEvent onField(QEvent::ToolTip, QPoint(5, 5), field->mapToGlobal(QPoint(5, 5)));
  QCoreApplication::sendEvent(field, &onField);
  ASSERT_EQ(tip->shownSlots().size(), 1u);
  QTRY_VERIFY(tipTexts(tip).contains(
      QStringLiteral("画像として読めません（JPEG、PNG、BMP のいずれでもありません）")));

  QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, line);
  EXPECT_FALSE(tip->isVisible());
}

}  // namespace
}  // namespace vesk::gui::testing
