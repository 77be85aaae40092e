#pragma once

#include <string>

namespace vesk::bench {

// Writes a width x height colour JPEG of photo-like content (smooth gradients with
// fine texture) at quality 90, baseline, 4:2:0. Exits the program when it cannot.
void writeTestJpeg(const std::string& path, int width, int height);

// Decodes every pixel of a JPEG file, as a viewer would to show it, and returns a
// checksum of the pixels so that the work cannot be optimised away.
unsigned long decodeJpeg(const std::string& path);

}  // namespace vesk::bench
