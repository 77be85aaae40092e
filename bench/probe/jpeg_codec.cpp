#include "jpeg_codec.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

// jpeglib.h needs FILE from <cstdio> first.
#include <jpeglib.h>

namespace vesk::bench {
namespace {

std::FILE* openOrExit(const std::string& path, const char* mode) {
  std::FILE* file = std::fopen(path.c_str(), mode);
  if (file == nullptr) {
    std::fprintf(stderr, "bench-probe: cannot open %s\n", path.c_str());
    std::exit(1);
  }
  return file;
}

}  // namespace

void writeTestJpeg(const std::string& path, int width, int height) {
  std::FILE* file = openOrExit(path, "wb");
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr jerr{};
  cinfo.err = jpeg_std_error(&jerr);  // reports and exits on any error
  jpeg_create_compress(&cinfo);
  jpeg_stdio_dest(&cinfo, file);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, 90, TRUE);
  jpeg_start_compress(&cinfo, TRUE);

  std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * 3);
  unsigned noise = 12345;
  while (cinfo.next_scanline < cinfo.image_height) {
    const int y = static_cast<int>(cinfo.next_scanline);
    for (int x = 0; x < width; ++x) {
      noise = noise * 1103515245u + 12345u;
      const int grain = static_cast<int>(noise >> 27);  // 0 to 31
      row[3 * x] = static_cast<JSAMPLE>((x * 255 / width + grain) & 0xFF);
      row[3 * x + 1] = static_cast<JSAMPLE>((y * 255 / height + grain) & 0xFF);
      row[3 * x + 2] = static_cast<JSAMPLE>(((x ^ y) & 0x7F) + grain);
    }
    JSAMPROW rows[] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::fclose(file);
}

unsigned long decodeJpeg(const std::string& path) {
  std::FILE* file = openOrExit(path, "rb");
  jpeg_decompress_struct cinfo{};
  jpeg_error_mgr jerr{};
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_decompress(&cinfo);
  jpeg_stdio_src(&cinfo, file);
  jpeg_read_header(&cinfo, TRUE);
  jpeg_start_decompress(&cinfo);
  std::vector<JSAMPLE> row(static_cast<std::size_t>(cinfo.output_width) *
                           static_cast<std::size_t>(cinfo.output_components));
  unsigned long checksum = 0;
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW rows[] = {row.data()};
    jpeg_read_scanlines(&cinfo, rows, 1);
    checksum += row[cinfo.output_scanline % row.size()];
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  std::fclose(file);
  return checksum;
}

}  // namespace vesk::bench
