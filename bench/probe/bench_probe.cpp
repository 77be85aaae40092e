// Times the image size probe against a full decode of the same large JPEG, both
// from the file on disk, and prints their medians and ratio. The probe reads only
// the header, so it must be at least kRequiredRatio times faster; the exit status is
// 1 when it is not.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "image/image_probe.h"
#include "jpeg_codec.h"

namespace {

constexpr int kWidth = 6000;
constexpr int kHeight = 4000;
constexpr int kProbeRuns = 2001;
constexpr int kDecodeRuns = 5;
constexpr double kRequiredRatio = 1000.0;

using Clock = std::chrono::steady_clock;

// Median wall time of `runs` calls of `work`, in seconds.
template <typename Work>
double medianSeconds(int runs, Work&& work) {
  std::vector<double> times;
  times.reserve(static_cast<std::size_t>(runs));
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    work();
    times.push_back(std::chrono::duration<double>(Clock::now() - start).count());
  }
  std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
  return times[static_cast<std::size_t>(runs / 2)];
}

}  // namespace

int main() {
  const auto folder = std::filesystem::temp_directory_path() /
                      ("vesk-bench-probe-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(folder);
  const std::string picture = (folder / "large.jpg").string();

  std::printf("making a %d x %d JPEG ...\n", kWidth, kHeight);
  vesk::bench::writeTestJpeg(picture, kWidth, kHeight);
  std::printf("file: %s, %.1f MB\n", picture.c_str(),
              static_cast<double>(std::filesystem::file_size(picture)) / 1e6);

  const vesk::PictureSize size = vesk::probeImageSize(picture).value_or(vesk::PictureSize{});
  if (size.width != kWidth || size.height != kHeight) {
    std::fprintf(stderr, "bench-probe: the probe gave %d x %d\n", size.width, size.height);
    return 1;
  }

  unsigned long checksum = vesk::bench::decodeJpeg(picture);  // warms the file cache
  const double probe = medianSeconds(kProbeRuns, [&] { (void)vesk::probeImageSize(picture); });
  const double decode =
      medianSeconds(kDecodeRuns, [&] { checksum += vesk::bench::decodeJpeg(picture); });
  const double ratio = decode / probe;

  std::printf("probe (header only), median of %d: %10.1f us\n", kProbeRuns, probe * 1e6);
  std::printf("full decode (libjpeg), median of %d: %10.1f us\n", kDecodeRuns, decode * 1e6);
  std::printf("ratio decode / probe: %.0f (required: at least %.0f) %s\n", ratio, kRequiredRatio,
              ratio >= kRequiredRatio ? "ok" : "TOO SLOW");
  std::printf("(pixel checksum %lu)\n", checksum);
  std::filesystem::remove_all(folder);
  return ratio >= kRequiredRatio ? 0 : 1;
}
