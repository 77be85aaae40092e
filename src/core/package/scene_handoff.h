#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

namespace vesk {

// Hands each scene's text, decoded by the create's copier from the bytes it copies, to
// the document pass, so that a scene is read once after its plan rather than once for
// its copy and again for the document. The copier comes to the scenes in entry order
// and the document pass takes them in entry order; one text waits at most, so the two
// hold at most two scenes' text between them. A scene the copier does not decode (it
// was reused, or a text still waits) is read by the document pass itself.
//
// Neither side waits on the other for long: the copier waits only for the waiting text
// to be taken before it decodes another (or until `cancelled` says so), the document
// pass only for a scene the copier is decoding or has not come to yet. Each side
// closes its end when it stops, which ends every wait of the other.
class SceneHandoff {
 public:
  // Copier: it comes to the scene of entry `entry` and will decode it (`decode`) or
  // not. Returns whether to decode it: false when the document pass has stopped, or
  // `cancelled` (may be empty) returned true while a text was waiting.
  bool begin(int entry, bool decode, const std::function<bool()>& cancelled = {});
  // Copier: the decoded text of the scene begun, whose file is `scene`.
  void offer(int entry, std::string scene, std::string text);
  // Copier: the scene begun was not decoded to the end.
  void abandon();
  // Copier: no more scenes come.
  void close();

  // Document pass: the text of entry `entry`'s scene file `scene`, when the copier
  // decoded it; nothing when the document pass must read the scene itself.
  std::optional<std::string> take(int entry, const std::string& scene);
  // Document pass: it takes no more texts.
  void closeTaking();

 private:
  struct Waiting {
    int entry = -1;
    std::string scene;
    std::string text;
  };

  std::mutex mutex_;
  std::condition_variable changed_;
  int position_ = -1;      // the entry whose scene the copier came to last
  bool decoding_ = false;  // it will decode that scene, or is decoding it
  bool closed_ = false;
  bool takingClosed_ = false;
  std::optional<Waiting> waiting_;
};

}  // namespace vesk
