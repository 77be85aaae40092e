#pragma once

#include <map>
#include <string>

namespace vesk {

// Where the top-level names of a destination lie until the next create there undoes
// the run a kill interrupted: a check, which changes nothing, reads the package there
// as the create will after its undo, from where each part lies now.
class UndoPlaces {
 public:
  UndoPlaces() = default;
  // `places`: each name at the top of `destination` whose place the undo changes, with
  // where what the undo puts there lies now (a path that does not exist for a name the
  // undo leaves absent).
  UndoPlaces(std::string destination, std::map<std::string, std::string> places);

  bool empty() const { return places_.empty(); }

  // `path`, as it will be after the undo, as it lies now; any other path as it is.
  std::string now(const std::string& path) const;
  // `path`, as it lies now, as the undo gives it; any other path as it is.
  std::string afterUndo(const std::string& path) const;

 private:
  std::string destination_;
  std::map<std::string, std::string> places_;
};

}  // namespace vesk
