#include "image/image_probe.h"

#include "base/path_terms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "support/picture_files.h"
#include "support/temp_dir.h"

namespace vesk {
namespace {

using test::bigEndian;
using test::bmpFile;
using test::littleEndian;
using test::readFile;
using test::TempDir;
using test::testPicture;

// What one probe gave back. The outputs start as -1 and -2, so a probe that wrote
// nothing shows them unchanged.
struct Probe {
  bool ok;
  int width;
  int height;
  bool operator==(const Probe&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Probe& p) {
  return out << (p.ok ? "ok " : "failed ") << p.width << "x" << p.height;
}

constexpr Probe kFailedUntouched{false, -1, -2};
constexpr Probe kNotProbed{true, -1, -2};

Probe probe(const std::string& path) {
  Probe result{false, -1, -2};
  const Result<PictureSize> size = probeImageSize(path);
  result.ok = size.ok();
  // A failure leaves the sizes as they were; a path that is not probed gives none.
  if (size && hasImageExtension(path)) {
    result.width = size->width;
    result.height = size->height;
  }
  return result;
}

Probe sized(int width, int height) {
  return {true, width, height};
}

// Offset of the first SOF0 marker of a baseline JPEG.
std::size_t frameHeaderAt(const std::string& jpeg) {
  const std::size_t at = jpeg.find("\xFF\xC0");
  EXPECT_NE(at, std::string::npos);
  return at;
}

std::string baselineJpeg() {
  return readFile(testPicture("baseline-64x48.jpg"));
}
std::string samplePng() {
  return readFile(testPicture("portrait-36x52.png"));
}

const std::string kPngSuite = "/usr/share/doc/libsixel-examples/examples/images/pngsuite";

TEST(ImageProbe, ReadsThePicturesThatRealEncodersMade) {
  struct Case {
    std::string path;
    Probe expected;
  };
  for (const Case& c : {
           Case{std::string(VESK_DATA_DIR) + "/up.jpg", sized(238, 95)},
           Case{std::string(VESK_DATA_DIR) + "/down.jpg", sized(238, 95)},
           Case{testPicture("baseline-64x48.jpg"), sized(64, 48)},
           Case{testPicture("progressive-30x47.jpg"), sized(30, 47)},
           Case{testPicture("arithmetic-33x21.jpg"), sized(33, 21)},
           Case{testPicture("arithmetic-progressive-21x33.jpg"), sized(21, 33)},
           Case{testPicture("restart-markers-50x17.jpg"), sized(50, 17)},
           Case{testPicture("greyscale-17x50.jpg"), sized(17, 50)},
           Case{testPicture("portrait-36x52.png"), sized(36, 52)},
           Case{testPicture("png-named-45x27.jpg"), sized(45, 27)},
           Case{testPicture("os2-core-26x19.bmp"), sized(26, 19)},
           Case{testPicture("v3-19x26.bmp"), sized(19, 26)},
           Case{testPicture("v5-23x23.bmp"), sized(23, 23)},
       }) {
    EXPECT_EQ(probe(c.path), c.expected) << c.path;
  }
}

TEST(ImageProbe, OnlyTheFourImageExtensionsInAnyCaseAreProbed) {
  TempDir folder;
  const std::string png = readFile(testPicture("png-named-45x27.jpg"));
  for (const char* name : {"photo.JPG", "a.jpeg", "b.JPEG", "c.Png", "d.bmp", "e.BmP"}) {
    EXPECT_EQ(probe(folder.write(name, png)), sized(45, 27)) << name;
  }
  // Not probed, readable or not: the outputs stay as they were and the probe succeeds.
  for (const char* name : {"f.gif", "g.jpe", "h.tif", "i.jpg.txt", "j", "k.jpg old", "l."}) {
    EXPECT_EQ(probe(folder.write(name, png)), kNotProbed) << name;
  }
  EXPECT_EQ(probe(folder.file("missing.gif")), kNotProbed);
}

TEST(ImageProbe, RecognisesTheFormatByContentWhateverTheExtensionSays) {
  TempDir folder;
  EXPECT_EQ(probe(folder.write("jpeg.png", baselineJpeg())), sized(64, 48));
  EXPECT_EQ(probe(folder.write("png.bmp", samplePng())), sized(36, 52));
  EXPECT_EQ(probe(folder.write("bmp.jpeg", readFile(testPicture("v3-19x26.bmp")))), sized(19, 26));
}

TEST(ImageProbe, UnreadablePathsFailWithoutTouchingTheOutputs) {
  TempDir folder;
  std::filesystem::create_directory(folder.file("folder.jpg"));
  for (const std::string& path : {
           folder.file("missing.png"),
           folder.file("folder.jpg"),
           folder.write("empty.jpg", ""),
           folder.write("one-byte.png", "\x89"),
           folder.write("text.bmp", "BMP is not in here\n"),
           folder.write("gif.png", "GIF89a\x20\x00\x10\x00"),
           folder.write("soi-only.jpg", "\xFF\xD8"),
       }) {
    EXPECT_EQ(probe(path), kFailedUntouched) << path;
  }
}

// A file cut anywhere before its image data begins (JPEG: the first scan) or before its
// end (PNG: the end chunk behind the image data; BMP: its last plain row) holds no
// picture a decoder can show.
TEST(ImageProbe, EveryTruncationBeforeTheImageDataFails) {
  struct Case {
    std::string name;
    std::string bytes;
    std::size_t needed;
    Probe expected;
  };
  const std::string jpeg = baselineJpeg();
  const std::string png = samplePng();
  const std::string bmp = readFile(testPicture("v5-23x23.bmp"));
  for (const Case& c : {
           Case{"cut.jpg", jpeg, jpeg.find("\xFF\xDA") + 2, sized(64, 48)},
           Case{"cut.png", png, png.size(), sized(36, 52)},
           Case{"cut.bmp", bmp, bmp.size(), sized(23, 23)},
       }) {
    TempDir folder;
    for (std::size_t size = 0; size < c.needed; ++size) {
      EXPECT_EQ(probe(folder.write(c.name, c.bytes.substr(0, size))), kFailedUntouched)
          << c.name << " cut to " << size;
    }
    EXPECT_EQ(probe(folder.write(c.name, c.bytes.substr(0, c.needed))), c.expected) << c.name;
  }
  // Bytes another program appended behind a PNG's end chunk leave it a picture.
  TempDir folder;
  EXPECT_EQ(probe(folder.write("tail.png", png + std::string(1000, 'x'))), sized(36, 52));
}

TEST(ImageProbe, JpegSizeComesFromEveryFrameTypeButNotFromTheMarkersSharingTheirRange) {
  const std::string jpeg = baselineJpeg();
  const std::size_t sof = frameHeaderAt(jpeg);
  TempDir folder;
  for (int code = 0xC0; code <= 0xCF; ++code) {
    std::string patched = jpeg;
    patched[sof + 1] = static_cast<char>(code);
    // C4, C8 and CC are then taken for table segments, and the scan starts without a frame.
    const bool frame = code != 0xC4 && code != 0xC8 && code != 0xCC;
    EXPECT_EQ(probe(folder.write("frame.jpg", patched)), frame ? sized(64, 48) : kFailedUntouched)
        << std::hex << code;
  }
  // A hierarchical picture states its whole size in DHP, before frames that may be smaller.
  const std::string dhp = "\xFF\xDE" + bigEndian(11, 2) + "\x08" + bigEndian(96, 2) +
                          bigEndian(128, 2) + std::string("\x01\x01\x11\x00", 4);
  EXPECT_EQ(probe(folder.write("hierarchical.jpg", jpeg.substr(0, sof) + dhp + jpeg.substr(sof))),
            sized(128, 96));
}

// A segment of the largest length a JPEG allows (65,535 with the length field), its
// payload `content` repeated.
std::string largestSegment(unsigned char marker, const std::string& content) {
  std::string payload;
  while (payload.size() < 65533) payload += content;
  payload.resize(65533);
  return std::string{'\xFF', static_cast<char>(marker)} + bigEndian(65535, 2) + payload;
}

TEST(ImageProbe, JpegSegmentsBeforeTheFrameAreSkippedWhateverTheyHold) {
  const std::string jpeg = baselineJpeg();
  const std::size_t sof = frameHeaderAt(jpeg);
  const std::string thumbnail = readFile(testPicture("greyscale-17x50.jpg"));
  const std::string fakeFrame = "\xFF\xC0" + bigEndian(11, 2) + "\x08" + bigEndian(999, 2) +
                                bigEndian(777, 2) + "\x01\x01\x11\x00";
  struct Case {
    std::string label;
    std::string bytes;
  };
  const auto afterSoi = [&](const std::string& inserted) {
    return "\xFF\xD8" + inserted + jpeg.substr(2);
  };
  const auto beforeFrame = [&](const std::string& inserted) {
    return jpeg.substr(0, sof) + inserted + jpeg.substr(sof);
  };
  TempDir folder;
  for (const Case& c : {
           Case{"EXIF thumbnail", afterSoi(test::exifSegment(1, thumbnail))},
           Case{"EXIF orientation rotated", afterSoi(test::exifSegment(6, ""))},
           Case{"comment with a frame header", afterSoi("\xFF\xFE" + bigEndian(13, 2) + fakeFrame)},
           Case{"fill bytes", beforeFrame("\xFF\xFF\xFF")},
           Case{"TEM and RST markers", afterSoi(std::string("\xFF\x01\xFF\xD0\xFF\xD7", 6))},
           Case{"stray bytes", beforeFrame(std::string("\x00\x12\xFF\x00", 4))},
           Case{"empty APP0", afterSoi("\xFF\xE0" + bigEndian(2, 2))},
           // Longer than any stream buffer, each holding what looks like a frame header.
           Case{"two APP segments of the largest length",
                afterSoi(largestSegment(0xE1, fakeFrame) + largestSegment(0xE2, fakeFrame))},
           Case{"8 MiB of metadata", afterSoi([&] {
                  std::string segments;
                  for (int i = 0; i < 128; ++i) segments += largestSegment(0xE1, fakeFrame);
                  return segments;
                }())},
       }) {
    EXPECT_EQ(probe(folder.write("segments.jpg", c.bytes)), sized(64, 48)) << c.label;
  }
  // Cut inside a long segment being skipped: no frame header follows it.
  const std::string cut = afterSoi(largestSegment(0xE1, fakeFrame)).substr(0, 40000);
  EXPECT_EQ(probe(folder.write("cut.jpg", cut)), kFailedUntouched);
}

TEST(ImageProbe, DamagedJpegHeadersFail) {
  const std::string jpeg = baselineJpeg();
  const std::size_t sof = frameHeaderAt(jpeg);
  const std::size_t frameEnd = sof + 2 + 17;
  const auto patched = [&](std::size_t at, const std::string& bytes) {
    std::string copy = jpeg;
    copy.replace(at, bytes.size(), bytes);
    return copy;
  };
  const auto afterSoi = [&](const std::string& inserted) {
    return "\xFF\xD8" + inserted + jpeg.substr(2);
  };
  struct Case {
    std::string label;
    std::string bytes;
  };
  TempDir folder;
  for (const Case& c : {
           Case{"height left to a DNL marker", patched(sof + 5, bigEndian(0, 2))},
           Case{"width 0", patched(sof + 7, bigEndian(0, 2))},
           Case{"no components", patched(sof + 9, std::string(1, '\0'))},
           Case{"frame length disagrees with components", patched(sof + 2, bigEndian(20, 2))},
           Case{"segment length below 2", afterSoi("\xFF\xE0" + bigEndian(1, 2))},
           Case{"end of image before the frame", afterSoi("\xFF\xD9")},
           Case{"scan before the frame", afterSoi("\xFF\xDA" + bigEndian(2, 2))},
           Case{"second start of image", afterSoi("\xFF\xD8")},
           Case{"segment runs past the end", "\xFF\xD8\xFF\xE0" + bigEndian(500, 2) + "JFIF"},
           Case{"no frame at all", jpeg.substr(0, sof) + "\xFF\xD9"},
           Case{"no scan after the frame", jpeg.substr(0, frameEnd) + "\xFF\xD9"},
           Case{"frame cut inside its components", jpeg.substr(0, frameEnd - 1)},
           Case{"frame behind 16 MiB of stray bytes", afterSoi(std::string(16 << 20, 'x'))},
           Case{"frame behind 16 MiB of segments", afterSoi([] {
                  std::string segments;
                  while (segments.size() <= (16u << 20)) {
                    segments += "\xFF\xE1" + bigEndian(0xFFFF, 2) + std::string(0xFFFD, 'm');
                  }
                  return segments;
                }())},
       }) {
    EXPECT_EQ(probe(folder.write("damaged.jpg", c.bytes)), kFailedUntouched) << c.label;
  }
}

TEST(ImageProbe, PngHeaderFieldsAreCheckedAndSizesUpToTheCapReported) {
  struct Case {
    std::string label;
    std::size_t at;
    std::string bytes;
    Probe expected;
  };
  TempDir folder;
  for (const Case& c : {
           Case{"width at the cap", 16, bigEndian(1000000, 4), sized(1000000, 52)},
           Case{"height at the cap", 20, bigEndian(1000000, 4), sized(36, 1000000)},
           Case{"interlaced", 28, "\x01", sized(36, 52)},
           Case{"width above the cap", 16, bigEndian(1000001, 4), kFailedUntouched},
           Case{"height above the cap", 20, bigEndian(1000001, 4), kFailedUntouched},
           Case{"width beyond 2^31-1", 16, bigEndian(0x80000000u, 4), kFailedUntouched},
           Case{"width 0", 16, bigEndian(0, 4), kFailedUntouched},
           Case{"height 0", 20, bigEndian(0, 4), kFailedUntouched},
           Case{"16-bit palette", 24, std::string("\x10\x03", 2), kFailedUntouched},
           Case{"2-bit truecolour", 24, std::string("\x02\x02", 2), kFailedUntouched},
           Case{"colour type 5", 24, std::string("\x08\x05", 2), kFailedUntouched},
           Case{"compression method 1", 26, "\x01", kFailedUntouched},
           Case{"filter method 1", 27, "\x01", kFailedUntouched},
           Case{"interlace method 2", 28, "\x02", kFailedUntouched},
           Case{"IHDR length 14", 8, bigEndian(14, 4), kFailedUntouched},
           Case{"first chunk not IHDR", 12, "IDAT", kFailedUntouched},
       }) {
    std::string png = samplePng();
    png.replace(c.at, c.bytes.size(), c.bytes);
    test::refreshIhdrCrc(png);
    EXPECT_EQ(probe(folder.write("patched.png", png)), c.expected) << c.label;
  }
  std::string badCrc = samplePng();
  badCrc[32] = static_cast<char>(badCrc[32] ^ 0x01);
  EXPECT_EQ(probe(folder.write("crc.png", badCrc)), kFailedUntouched);
}

TEST(ImageProbe, BmpOfEveryHeaderVersionGivesItsSizeAndTopDownGivesTheAbsoluteHeight) {
  struct Case {
    std::uint32_t headerSize;
    std::int32_t width;
    std::int32_t height;
    Probe expected;
  };
  TempDir folder;
  for (const Case& c : {
           Case{12, 300, 200, sized(300, 200)},
           Case{12, 65535, 2, sized(65535, 2)},
           Case{12, 2, 65535, sized(2, 65535)},
           Case{16, 300, 200, sized(300, 200)},
           Case{40, 300, 200, sized(300, 200)},
           Case{52, 300, 200, sized(300, 200)},
           Case{56, 300, 200, sized(300, 200)},
           Case{64, 300, 200, sized(300, 200)},
           Case{108, 300, 200, sized(300, 200)},
           Case{124, 300, 200, sized(300, 200)},
           Case{16, 300, -200, sized(300, 200)},
           Case{40, 300, -200, sized(300, 200)},
           Case{124, 7, -1000000, sized(7, 1000000)},
           Case{40, 1000000, 1, sized(1000000, 1)},
       }) {
    EXPECT_EQ(probe(folder.write("v.bmp", bmpFile(c.headerSize, c.width, c.height))), c.expected)
        << c.headerSize << " " << c.width << "x" << c.height;
  }
}

TEST(ImageProbe, DamagedBmpHeadersFail) {
  struct Case {
    std::string label;
    std::string bytes;
  };
  TempDir folder;
  const auto withHeaderSize = [](std::uint32_t size) {
    std::string bytes = bmpFile(40, 300, 200);
    bytes.replace(14, 4, littleEndian(size, 4));
    return bytes;
  };
  for (const Case& c : {
           Case{"header size 0", withHeaderSize(0)},
           Case{"header size 11", withHeaderSize(11)},
           Case{"header size 13", withHeaderSize(13)},
           Case{"header size 15", withHeaderSize(15)},
           Case{"header size 125", withHeaderSize(125)},
           Case{"header size 2^32-1", withHeaderSize(0xFFFFFFFFu)},
           Case{"header longer than the file", withHeaderSize(124).substr(0, 14 + 40 + 16)},
           Case{"core width 0", bmpFile(12, 0, 5)},
           Case{"core height 0", bmpFile(12, 5, 0)},
           Case{"width 0", bmpFile(40, 0, 5)},
           Case{"negative width", bmpFile(40, -300, 200)},
           Case{"height 0", bmpFile(40, 300, 0)},
           Case{"height -2^31", bmpFile(40, 300, INT32_MIN)},
           Case{"width above the cap", bmpFile(40, 1000001, 1)},
           Case{"top-down height above the cap", bmpFile(108, 1, -1000001)},
           Case{"no planes", bmpFile(40, 300, 200, 0)},
           Case{"two planes", bmpFile(40, 300, 200, 2)},
           Case{"3 bits a pixel", bmpFile(40, 300, 200, 1, 3)},
           Case{"0 bits a pixel", bmpFile(12, 300, 200, 1, 0)},
           Case{"last row cut short",
                [] {
                  std::string bytes = bmpFile(40, 300, 200);
                  bytes.pop_back();
                  return bytes;
                }()},
           Case{"pixels stored as JPEG",
                [] {
                  std::string bytes = bmpFile(40, 300, 200);
                  bytes.replace(14 + 16, 4, littleEndian(4, 4));
                  return bytes;
                }()},
       }) {
    EXPECT_EQ(probe(folder.write("damaged.bmp", c.bytes)), kFailedUntouched) << c.label;
  }
}

// The PngSuite's pictures are 32 by 32 pixels, except the "s" series whose name gives
// the side and the pixel-aspect series cdf, cdh and cds.
Probe pngSuiteSize(const std::string& name) {
  if (name.starts_with("cdfn")) return sized(8, 32);
  if (name.starts_with("cdhn")) return sized(32, 8);
  if (name.starts_with("cdsn")) return sized(8, 8);
  if (name[0] == 's') {
    const int side = std::stoi(name.substr(1, 2));
    return sized(side, side);
  }
  return sized(32, 32);
}

// Every file of the suite as a plain .png in the returned list; Debian may store
// some of them gzip-compressed, which are unpacked into `folder`.
std::vector<std::filesystem::path> pngSuiteFiles(const TempDir& folder) {
  std::vector<std::filesystem::path> files;
  for (const auto& item : std::filesystem::recursive_directory_iterator(kPngSuite)) {
    const std::string name = item.path().filename().string();
    if (name.ends_with(".png")) {
      files.push_back(item.path());
    } else if (name.ends_with(".png.gz")) {
      const std::string unpacked = folder.file(name.substr(0, name.size() - 3));
      const std::string command = "gzip -dc '" + item.path().string() + "' > '" + unpacked + "'";
      EXPECT_EQ(std::system(command.c_str()), 0) << command;
      files.emplace_back(unpacked);
    }
  }
  return files;
}

TEST(ImageProbe, EveryValidPngSuitePictureGivesTheSizeItsNameStates) {
  ASSERT_TRUE(std::filesystem::is_directory(kPngSuite)) << "install libsixel-examples";
  TempDir folder;
  int valid = 0;
  for (const auto& file : pngSuiteFiles(folder)) {
    const std::string name = file.filename().string();
    if (name[0] == 'x') continue;
    EXPECT_EQ(probe(file.string()), pngSuiteSize(name)) << name;
    ++valid;
  }
  EXPECT_GE(valid, 150);
}

TEST(ImageProbe, PngSuiteFilesDamagedInTheSignatureOrHeaderFail) {
  ASSERT_TRUE(std::filesystem::is_directory(kPngSuite)) << "install libsixel-examples";
  TempDir folder;
  std::vector<std::string> signatureOrHeader = {"xs1n0g01", "xs2n0g01", "xs4n0g01", "xs7n0g01",
                                                "xcrn0g04", "xlfn0g04", "xc1n0g08", "xc9n2c08",
                                                "xd0n2c08", "xd3n2c08", "xd9n2c08", "xhdn0g08"};
  // Nor is one without image data; the image data itself (its checksum) is not read.
  signatureOrHeader.push_back("xdtn0g01");
  const std::vector<std::string> afterHeader = {"xcsn0g01"};
  int seen = 0;
  for (const auto& file : pngSuiteFiles(folder)) {
    const std::string stem = file.stem().string();
    if (std::find(signatureOrHeader.begin(), signatureOrHeader.end(), stem) !=
        signatureOrHeader.end()) {
      EXPECT_EQ(probe(file.string()), kFailedUntouched) << stem;
      ++seen;
    } else if (std::find(afterHeader.begin(), afterHeader.end(), stem) != afterHeader.end()) {
      EXPECT_EQ(probe(file.string()), sized(32, 32)) << stem;
    } else {
      EXPECT_NE(stem[0], 'x') << "unclassified corrupt file " << stem;
    }
  }
  EXPECT_EQ(seen, static_cast<int>(signatureOrHeader.size()));
}

}  // namespace
}  // namespace vesk
