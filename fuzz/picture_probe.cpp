// The picture header readers on any bytes, and the probe on the same bytes as a file.
#include <sstream>

#include "image/image_header_bmp.h"
#include "image/image_header_jpeg.h"
#include "image/image_header_png.h"
#include "image/image_probe.h"
#include "scratch_files.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(vesk::fuzz::asText(data, size));
  for (auto* read : {&vesk::readJpegSize, &vesk::readPngSize, &vesk::readBmpSize}) {
    std::istringstream in(bytes);
    (void)read(in);
  }
  if (const auto size = vesk::probeImageSize(vesk::fuzz::writeScratchFile("p.jpg", bytes))) {
    if (size->width < 1 || size->height < 1 || size->width > vesk::kMaxImageDimension ||
        size->height > vesk::kMaxImageDimension) {
      __builtin_trap();
    }
  }
  return 0;
}
