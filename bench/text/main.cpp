// Times code page 932 decoding and encoding in MiB/s on a clean Shift_JIS scene and
// on random bytes, each with its ratio to a plain pass over the same bytes (a copy
// and a memchr count of line feeds) measured in the same run; then, on mostly ASCII
// scene lines with CR LF, the conversions a create makes (the piece decoder dropping
// CRs, the CR LF encoder and the encoded size), against the same pass; then the scene scan
// and merge of a 2 MiB random scene and of a 4 MB scene of periodic markers, with
// their ratio to reading the same scene's lines.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/cp932.h"
#include "format/scene_merge.h"
#include "format/scene_scan.h"
#include "model/entry_list.h"
#include "package/scene_files.h"

namespace {

using Clock = std::chrono::steady_clock;

// Best wall time of `runs` calls of `work`, in seconds.
template <typename Work>
double bestSeconds(int runs, Work&& work) {
  double best = 1e9;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    work();
    best = std::min(best, std::chrono::duration<double>(Clock::now() - start).count());
  }
  return best;
}

// The baseline: copy the bytes and count their line feeds with memchr.
std::size_t plainPass(const std::string& bytes, std::string& copy) {
  copy.assign(bytes);
  std::size_t lines = 0;
  const char* p = copy.data();
  const char* end = p + copy.size();
  while ((p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(end - p))))) {
    ++lines;
    ++p;
  }
  return lines;
}

// A Shift_JIS scene of about `size` bytes: XML lines with Japanese captions.
std::string cleanScene(std::size_t size) {
  std::string utf8;
  for (int i = 0; utf8.size() < size * 9 / 10; ++i) {
    utf8 += "<data name=\"ボリューム" + std::to_string(i) +
            "\" type=\"volume\" ><file type=\"raw\" path=\"心臓\\断面" + std::to_string(i) +
            ".raw\" /></data>\r\n<drawGroup name=\"サーフェイス" + std::to_string(i) +
            "\" caption=\"サーフェイスレンダリング\" >漢字かなカナ１２３ｱｲｳ</drawGroup>\r\n";
  }
  vesk::Result<std::string> encoded = vesk::encodeCp932(utf8);
  if (!encoded) std::abort();
  return std::move(*encoded);
}

std::string randomBytes(std::size_t size) {
  std::mt19937_64 random(42);
  std::string bytes(size, '\0');
  for (char& b : bytes) b = static_cast<char>(random());
  return bytes;
}

void codecRow(const char* name, const std::string& bytes) {
  std::string copy;
  std::size_t sink = 0;
  const double mib = static_cast<double>(bytes.size()) / (1024.0 * 1024.0);
  const double base = bestSeconds(5, [&] { sink += plainPass(bytes, copy); });
  std::string text;
  const double decode = bestSeconds(5, [&] { text = vesk::decodeCp932(bytes); });
  bool encoded = false;
  const double encode = bestSeconds(5, [&] { encoded = vesk::encodeCp932(text).ok(); });
  if (!encoded || sink == 0xFFFFFFFF) std::abort();
  std::printf(
      "%-22s %6.1f MiB  copy+memchr %8.0f MiB/s  decode %7.0f MiB/s (%5.1fx)  "
      "encode %7.0f MiB/s (%5.1fx)\n",
      name, mib, mib / base, mib / decode, decode / base, mib / encode, encode / base);
}

// A scene of about `size` bytes of mostly ASCII lines of about 90 bytes with CR LF,
// a few of them holding a Japanese word.
std::string asciiSceneLines(std::size_t size) {
  const char* const words[] = {"断面", "心臓", "サーフェイス", "右心室"};
  std::string utf8;
  for (int i = 0; utf8.size() < size; ++i) {
    const std::string n = std::to_string(i);
    switch (i % 4) {
      case 0:
        utf8 += "  <data name=\"volume" + n + "\" type=\"volume\" ><file type=\"raw\" path=\"" +
                words[i / 4 % 4] + "\\slice" + n + ".raw\" /></data>\r\n";
        break;
      case 1:
        utf8 += "  <drawGroup name=\"surface" + n +
                "\" opacity=\"0.75\" color=\"0.80 0.25 0.10\" visible=\"true\" >\r\n";
        break;
      case 2:
        utf8 += "    <polygon file=\"mesh" + n +
                ".obj\" smoothing=\"2\" decimate=\"0.50\" caption=\"" + words[i / 4 % 4] +
                "\" />\r\n";
        break;
      default:
        utf8 += "  </drawGroup><!-- group " + n + " of the scene, drawn after the volumes -->\r\n";
    }
  }
  vesk::Result<std::string> encoded = vesk::encodeCp932(utf8);
  if (!encoded) std::abort();
  return std::move(*encoded);
}

// The piece decoder dropping CRs (1 MiB pieces, as a scene is read), the CR LF
// encoder and the encoded size, each against copy+memchr over the same bytes.
void lineCodecRow(const char* name, const std::string& bytes) {
  std::string copy;
  std::size_t sink = 0;
  const double mib = static_cast<double>(bytes.size()) / (1024.0 * 1024.0);
  const double base = bestSeconds(5, [&] { sink += plainPass(bytes, copy); });
  std::string text;
  text.reserve(bytes.size() + bytes.size() / 2);
  const double decode = bestSeconds(5, [&] {
    text.clear();
    vesk::Cp932PieceDecoder decoder(true);
    constexpr std::size_t kPiece = std::size_t{1} << 20;
    for (std::size_t at = 0; at < bytes.size(); at += kPiece) {
      decoder.add(std::string_view(bytes).substr(at, kPiece), text);
    }
    decoder.finish(text);
  });
  std::string out;
  out.reserve(bytes.size() + 16);
  bool encoded = false;
  const double encode = bestSeconds(5, [&] {
    out.clear();
    encoded = vesk::appendCp932WithCrLf(text, 0, text.size(), out).ok();
  });
  std::uint64_t size = 0;
  const double count = bestSeconds(5, [&] { size = vesk::cp932SizeWithCrLf(text).value_or(0); });
  if (!encoded || out != bytes || size != bytes.size() || sink == 0xFFFFFFFF) std::abort();
  std::printf(
      "%-22s %6.1f MiB  copy+memchr %8.0f MiB/s  decode -CR %7.0f MiB/s (%5.1fx)  "
      "encode +CR %7.0f MiB/s (%5.1fx)  size +CR %7.0f MiB/s (%5.1fx)\n",
      name, mib, mib / base, mib / decode, decode / base, mib / encode, encode / base, mib / count,
      count / base);
}

void sceneRow(const char* name, const std::string& bytes) {
  const auto path = std::filesystem::temp_directory_path() /
                    ("vesk-bench-text-" + std::to_string(std::random_device{}()) + ".nuv");
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  vesk::EntryList list;
  list.workingEntry().scenePath = path.string();
  list.appendWorkingEntry();
  std::size_t sink = 0;
  const double read = bestSeconds(3, [&] { sink += vesk::readSceneLines(path.string()).size(); });
  std::string document;
  const double scanMerge = bestSeconds(3, [&] {
    vesk::scanSceneData(list, 0);
    document.clear();
    std::vector<std::string> topGroupNames;
    vesk::mergeEntryScene(document, 0, list.at(0), topGroupNames);
  });
  std::filesystem::remove(path);
  std::printf("%-28s %5.1f MB  read lines %6.3f s  scan+merge %6.3f s (%5.1fx)  %zu data files\n",
              name, static_cast<double>(bytes.size()) / 1e6, read, scanMerge, scanMerge / read,
              list.at(0).dataFiles.size() + 0 * sink);
}

std::string periodicMarkers(std::size_t size, const std::string& open, const std::string& close) {
  std::string half;
  while (half.size() < size / 2) half += open;
  return half + close + half;
}

}  // namespace

int main() {
  std::printf("code page 932 (best of 5; ratio = time / copy+memchr time)\n");
  codecRow("clean Shift_JIS scene", cleanScene(16u << 20));
  codecRow("random bytes", randomBytes(16u << 20));
  lineCodecRow("ASCII lines, CR LF", asciiSceneLines(16u << 20));
  std::printf("\nscene scan and merge (best of 3; ratio = time / reading the lines)\n");
  sceneRow("random bytes", randomBytes(2u << 20));
  sceneRow("periodic <data", periodicMarkers(4000000, "<data", "</data>"));
  sceneRow("periodic <drawGroup", periodicMarkers(4000000, "<drawGroup", "</drawGroup>"));
  // A start tag of 1 MB of "<drawGroup" whose group holds three times as many.
  std::string groupTag;
  while (groupTag.size() < 1000000) groupTag += "<drawGroup";
  sceneRow("draw group start tag repeats",
           groupTag + ">" + groupTag + groupTag + groupTag + "</drawGroup>");
  // A hundred elements each copied once behind 4 MB of small elements: every cut
  // removes a copy far behind it.
  std::string hundred;
  for (int i = 0; i < 100; ++i) hundred += "<data path=\"" + std::to_string(i) + "\"></data>";
  std::string pairs;
  while (pairs.size() < 4000000) pairs += "<data></data>x";
  sceneRow("100 copies behind 4 MB", hundred + pairs + hundred);
  sceneRow("clean Shift_JIS scene", cleanScene(4000000));
  return 0;
}
