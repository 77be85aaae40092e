#pragma once

#include <regex>
#include <string>
#include <vector>

namespace vesk::test {

// The structure of a report page, one line per thing it shows, in page order:
// "count 項目数 7", "page 02 unreached", "thumb 06 row 0: 06 s.nuv", "button up 00",
// "entry 00 s.nuv", "picture サムネイル: t.png 100 × 100 px", "data 00\a.raw ファイル 1 3",
// "problem <text>". Tags inside a caption are dropped; escapes are kept as written.
inline std::vector<std::string> reportStructure(const std::string& html) {
  static const std::regex kPattern(
      "<tr><th>(項目数|ファイル数)</th><td>([^<]*)</td>"                               // 1 2
      "|<li>([^<]*)</li>"                                                              // 3
      "|<figure class=\"page[^\"]*\" data-page=\"(\\d+)\" data-reached=\"(yes|no)\">"  // 4 5
      "|<g class=\"thumb\" data-entry=\"(\\d+)\" data-row=\"(-?\\d+)\">"               // 6 7
      "<rect[^>]*/><text[^>]*>([^<]*)</text>"                                          // 8
      "|<g class=\"button\" data-kind=\"(up|down)\" data-target=\"([^\"]+)\">"         // 9 10
      "|<section class=\"entry\" data-entry=\"\\d+\">\\n<h3>(.*?)</h3>"                // 11
      "|<figure><figcaption>(.*?)</figcaption>"                                        // 12
      "|<tr><td>([^<]*)</td><td>([^<]*)</td><td class=\"n\">([^<]*)</td>"              // 13 14 15
      "<td class=\"n\">([^<]*)</td>");                                                 // 16
  static const std::regex kTag("<[^>]*>");
  std::vector<std::string> lines;
  for (std::sregex_iterator it(html.begin(), html.end(), kPattern), end; it != end; ++it) {
    const std::smatch& m = *it;
    if (m[1].matched) {
      lines.push_back("count " + m[1].str() + " " + m[2].str());
    } else if (m[3].matched) {
      lines.push_back("problem " + m[3].str());
    } else if (m[4].matched) {
      lines.push_back("page " + m[4].str() + (m[5] == "no" ? " unreached" : ""));
    } else if (m[6].matched) {
      lines.push_back("thumb " + m[6].str() + " row " + m[7].str() + ": " + m[8].str());
    } else if (m[9].matched) {
      lines.push_back("button " + m[9].str() + " " + m[10].str());
    } else if (m[11].matched) {
      lines.push_back("entry " + std::regex_replace(m[11].str(), kTag, ""));
    } else if (m[12].matched) {
      lines.push_back("picture " + std::regex_replace(m[12].str(), kTag, ""));
    } else {
      lines.push_back("data " + m[13].str() + " " + m[14].str() + " " + m[15].str() + " " +
                      m[16].str());
    }
  }
  return lines;
}

}  // namespace vesk::test
