#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "package/package_plan.h"

namespace vesk {

// Hands each scene's text, decoded by the create's copier from the bytes it copies, to
// the document pass, so that a scene is read once after its plan rather than once for
// its copy and again for the document. The copier comes to the scenes in entry order
// and the document pass takes them in entry order; one text waits at most, so the two
// hold at most two scenes' text between them. A scene the copier does not decode (it
// was reused, or the document pass came to it first) is read by the document pass.
//
// Neither side waits on the other for long: the copier waits only for the waiting text
// to be taken before it decodes another (or until `cancelled` says so), the document
// pass for the scene the copier is decoding, and for one it has not come to only while
// the copier copies the few files planned between that scene and the one before it; any
// other scene the document pass reads itself, so a copier busy with large data files
// never holds the document back. Each side closes its end when it stops, which ends
// every wait of the other.
class SceneHandoff {
 public:
  // No entry after which the document pass waits for a scene the copier has not begun.
  static constexpr int kNoWait = -2;

  // `waitAfter[e]`: the entry whose scene the copier copies just before entry e's when
  // the copies planned between the two are few and small (-1: e's is the first scene
  // copied), else kNoWait; missing entries are kNoWait.
  explicit SceneHandoff(std::vector<int> waitAfter = {}) : waitAfter_(std::move(waitAfter)) {}

  // Copier: it comes to the scene of entry `entry` and would decode it (`decode`) or
  // not. Returns whether to decode it: false when the document pass has come to that
  // entry already or has stopped, or `cancelled` (may be empty) returned true while a
  // text was waiting.
  bool begin(int entry, bool decode, const std::function<bool()>& cancelled = {});
  // Copier: the decoded text of the scene begun, whose file is `scene`.
  void offer(int entry, std::string scene, std::string text);
  // Copier: the scene begun was not decoded to the end.
  void abandon();
  // Copier: no more scenes come.
  void close();

  // Document pass: the text of entry `entry`'s scene file `scene`, when the copier
  // decoded it (waiting while it decodes it); nothing when the document pass must read
  // the scene itself.
  std::optional<std::string> take(int entry, const std::string& scene);
  // Document pass: it takes no more texts.
  void closeTaking();

 private:
  struct Waiting {
    int entry = -1;
    std::string scene;
    std::string text;
  };

  const std::vector<int> waitAfter_;
  std::mutex mutex_;
  std::condition_variable changed_;
  int position_ = -1;      // the entry whose scene the copier came to last
  bool decoding_ = false;  // it will decode that scene, or is decoding it
  int taking_ = -1;        // the entry whose scene the document pass came to last
  bool closed_ = false;
  bool takingClosed_ = false;
  std::optional<Waiting> waiting_;
};

// For a SceneHandoff of a run of `plan`: after which scene the document pass may wait for
// each entry's (see the constructor). It waits where at most 256 files and 16 MiB are
// copied between the two scenes: about what reading the scene again costs.
std::vector<int> sceneWaits(const PackagePlan& plan);

}  // namespace vesk
