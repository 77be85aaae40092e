#pragma once

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

namespace vesk {

// Keeps the memory of texts a run is done with, for the next text it builds: a scene's
// text is read whole several times in a run (planned, copied, merged), and writing
// into memory freshly had from the system can cost far more than the work done in it
// (190 MiB decoded into fresh memory took 0.47 s on a virtual machine, into memory
// written before 0.01 s). Keeps at most `keep` texts' memory, the largest given; what
// it keeps is freed with it. Safe to use from several threads at once.
class TextRooms {
 public:
  explicit TextRooms(std::size_t keep = 2) : keep_(keep) {}
  TextRooms(const TextRooms&) = delete;
  TextRooms& operator=(const TextRooms&) = delete;

  // An empty string with room for at least `size` bytes: the smallest kept one with
  // that much room, else the largest kept one grown to it, else a new one. May throw
  // std::bad_alloc, as reserving does.
  std::string take(std::size_t size);
  // Keeps the memory of `text` (its content is dropped) when fewer than `keep` are
  // kept or it is larger than the smallest kept, which is then freed.
  void give(std::string text);
  // Frees what it keeps: for a pause between a run's parts, such as a question.
  void release();

 private:
  const std::size_t keep_;
  std::mutex mutex_;
  std::vector<std::string> kept_;
};

// Readies the first `bytes` bytes of `text`'s room (at most its capacity) for writing,
// in one call to the system where it has one (Linux 5.14 and later), rather than one
// fault per page as they are first written: 190 MiB took 0.27 s so against 0.49 s on a
// virtual machine. Costs little where the room was written before. Worth it only for
// large texts; does nothing where the system cannot.
void readyRoomForWriting(std::string& text, std::size_t bytes);

// take from `rooms`, or a new string with that room when `rooms` is null.
std::string takeTextRoom(TextRooms* rooms, std::size_t size);
// give to `rooms`; frees the text when `rooms` is null.
void giveTextRoom(TextRooms* rooms, std::string text);

}  // namespace vesk
