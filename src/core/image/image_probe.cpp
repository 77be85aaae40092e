#include "image/image_probe.h"

#include <filesystem>
#include <fstream>
#include <optional>

#include "base/file_kind.h"
#include "base/file_system.h"
#include "base/path_terms.h"
#include "image/image_header_bmp.h"
#include "image/image_header_bytes.h"
#include "image/image_header_jpeg.h"
#include "image/image_header_png.h"

namespace vesk {
namespace {

std::optional<ImageSize> readStoredSize(const std::string& path) {
#ifdef _WIN32
  // The long form for a picture deeper than the classic path limit.
  const std::filesystem::path file(win32Path(path));
#else
  const std::filesystem::path file(
      std::u8string(reinterpret_cast<const char8_t*>(path.data()), path.size()));
#endif
  // Only regular files are opened: a pipe or a device could block or never end. Asked
  // of base, whose look takes a long path on Windows (the runtime's stat does not).
  const Result<FileKind> kind = fileKindOf(path);
  if (!kind || *kind != FileKind::Regular) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  // The first byte tells the format; each reader checks the whole signature. Peeked,
  // not read and sought back: the seek would read the file's first block twice.
  switch (in.peek()) {
    case 0xFF:
      return readJpegSize(in);
    case 0x89:
      return readPngSize(in);
    case 'B':
      return readBmpSize(in);
    default:
      return std::nullopt;
  }
}

bool withinRange(std::uint32_t dimension) {
  return dimension >= 1 && dimension <= static_cast<std::uint32_t>(kMaxImageDimension);
}

}  // namespace

Result<PictureSize> probeImageSize(const std::string& path) {
  if (!hasImageExtension(path)) return PictureSize{};
  const std::optional<ImageSize> size = readStoredSize(path);
  if (!size || !withinRange(size->width) || !withinRange(size->height)) {
    return makeFailure(FailureCode::UnreadablePicture, path);
  }
  return PictureSize{static_cast<int>(size->width), static_cast<int>(size->height)};
}

}  // namespace vesk
