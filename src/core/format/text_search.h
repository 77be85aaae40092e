#pragma once

#include <cstddef>
#include <initializer_list>
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
  // A short pattern looked for by a scan for `scanned`, which it holds (its first such
  // byte), so that findEvery finds it in the scan other patterns take for that byte
  // ("<drawGroup" in the scan for the "<" of "<data").
  PatternFinder(std::string_view pattern, char scanned);

  // The smallest position at or after `from` where the pattern occurs in `text`, or
  // npos. An empty pattern occurs at `from` when from <= text.size().
  std::size_t find(std::string_view text, std::size_t from) const;

  // A pattern looked for and the list its positions go to.
  struct Search {
    const PatternFinder& finder;
    std::vector<std::size_t>& found;
  };
  // Every position where each search's pattern occurs in `text` (overlapping ones too),
  // each list ascending; the short patterns that look for the byte the first one looks
  // for (as "<data" and "</data>" do) are found in one scan for it, every other pattern
  // by a scan of its own.
  static void findEvery(std::string_view text, std::initializer_list<Search> searches);

 private:
  bool isShort() const;
  // True when the pattern stands where the text holds the byte it scans for at `hit`.
  bool standsAt(std::string_view text, std::size_t hit) const;

  std::string_view pattern_;
  // The byte of a short pattern that the scan looks for.
  std::size_t anchor_ = 0;
  // border_[i]: length of the longest proper border of pattern_[0, i]; empty for a
  // short pattern and with glibc.
  std::vector<std::size_t> border_;
};

// Several patterns arranged to be looked for together: patterns that hold a byte rare
// in scene text in common (the "_" of "index_data=\"" and "volume_data=\"") are found
// by one scan for it, so that a text is scanned once per such byte, not once per
// pattern. Made once for patterns looked for in many texts.
class PatternSet {
 public:
  // The patterns must outlive the set; an empty one is never found.
  explicit PatternSet(std::vector<std::string_view> patterns);

  const std::vector<std::string_view>& patterns() const { return patterns_; }

 private:
  friend class PatternSetScan;
  // Patterns found by one scan for `scanned`, each by the offset of its first such
  // byte; or one long pattern, found by its own finder.
  struct Group {
    char scanned = 0;
    std::vector<std::pair<std::size_t, std::size_t>> members;  // pattern, offset
    std::size_t leastOffset = 0;
    std::vector<PatternFinder> whole;  // the long pattern's finder
  };

  std::vector<std::string_view> patterns_;
  std::vector<Group> groups_;
};

// Finds the patterns of a set in one text, occurrence after occurrence: the first
// place at or after a position where any of them stands.
class PatternSetScan {
 public:
  // `set` and `text` must outlive the scan.
  PatternSetScan(const PatternSet& set, std::string_view text);

  struct Found {
    std::size_t at = std::string_view::npos;  // npos: none
    std::size_t pattern = 0;                  // its index among the set's patterns
  };
  // The smallest position at or after `from` where a pattern stands and, of the
  // patterns that stand there, the first. `from` must not decrease from one call to
  // the next: the calls together take time linear in the text, each group's scan going
  // on from the occurrence it found last.
  Found next(std::size_t from);

 private:
  Found findInGroup(const PatternSet::Group& group, std::size_t from) const;

  const PatternSet& set_;
  std::string_view text_;
  // Each group's first occurrence at or after where it was last searched from.
  std::vector<Found> found_;
  std::vector<bool> searched_;
};

}  // namespace vesk
