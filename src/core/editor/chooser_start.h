#pragma once

#include <string>

namespace vesk {

// The folder the destination chooser opens at for `startPath`, the browse start path
// (usually the path of a dropped file, which may be gone by now): the path itself when
// it is a folder, else the folder holding it when that is one, without a trailing
// separator unless it is a root ("/", "C:\"). Empty when neither is a folder or the
// path is not absolute: the chooser then opens where its platform opens by default.
std::string chooserStartFolder(const std::string& startPath);

}  // namespace vesk
