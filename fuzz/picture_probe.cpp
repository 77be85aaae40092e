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
  int width = -1;
  int height = -1;
  if (vesk::probeImageSize(vesk::fuzz::writeScratchFile("p.jpg", bytes), width, height)) {
    if (width < 1 || height < 1 || width > vesk::kMaxImageDimension ||
        height > vesk::kMaxImageDimension) {
      __builtin_trap();
    }
  }
  return 0;
}
