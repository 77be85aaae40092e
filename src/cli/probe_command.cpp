#include <ostream>

#include "base/path_terms.h"
#include "commands.h"
#include "console_stream.h"
#include "image/image_probe.h"

namespace vesk::cli {

int runProbe(const std::vector<std::string>& files, std::ostream& out) {
  int status = 0;
  for (const auto& file : files) {
    out << shownText(file) << '\t';
    if (!hasImageExtension(file)) {
      out << "skipped\n";
      continue;
    }
    if (const Result<PictureSize> size = probeImageSize(file)) {
      out << size->width << '\t' << size->height << '\n';
    } else {
      out << "unreadable\n";
      status = 1;
    }
  }
  return status;
}

}  // namespace vesk::cli
