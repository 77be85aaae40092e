#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace vesk {

// Finds a fixed pattern in texts in time linear in the text searched plus the
// pattern, whatever the two hold (a plain search can take the product of the two
// lengths on a periodic pattern such as "<data<data<data…"). A short pattern is
// looked for by a scan for its rarest byte in scene text (say "G" of "<drawGroup"),
// at most its length in comparisons per text byte; a long one with glibc's memmem
// (a skipping search, linear in the worst case), elsewhere with the
// Knuth-Morris-Pratt automaton.
class PatternFinder {
 public:
  // `pattern` must outlive the finder.
  explicit PatternFinder(std::string_view pattern);

  // The smallest position at or after `from` where the pattern occurs in `text`, or
  // npos. An empty pattern occurs at `from` when from <= text.size().
  std::size_t find(std::string_view text, std::size_t from) const;

  // Every position where the pattern or `other` occurs in `text` (overlapping ones
  // too), each list ascending; one scan when both are short and look for the same
  // byte (as "<data" and "</data>" do), else one each.
  void findEvery(std::string_view text, const PatternFinder& other, std::vector<std::size_t>& mine,
                 std::vector<std::size_t>& others) const;

 private:
  std::string_view pattern_;
  // The byte of a short pattern that the scan looks for.
  std::size_t anchor_ = 0;
  // border_[i]: length of the longest proper border of pattern_[0, i]; empty for a
  // short pattern and with glibc.
  std::vector<std::size_t> border_;
};

}  // namespace vesk
