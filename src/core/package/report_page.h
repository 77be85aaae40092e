#pragma once

#include <string>

#include "format/package_report.h"

namespace vesk {

// The report as one self-contained HTML page (UTF-8, no script, nothing fetched but
// the pictures' own sources, laid out for A4): the package's figures and problems,
// a plan of every menu page and every entry with its pictures and data. Every text
// from the package is escaped. Elements carry data- attributes naming what they show
// (page, entry, row, button target), so that the structure can be read back.
std::string renderReportPage(const PackageReport& report);

// True when the regular file at `path` begins as every page renderReportPage makes, read
// without reading the rest: a page of the report's name that an operator wrote is not
// Vesk's, never to be replaced or removed as the package's.
bool isReportPageFile(const std::string& path);

}  // namespace vesk
