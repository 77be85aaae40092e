#include "base/document_output.h"

#include <optional>

#include "base/atomic_file.h"
#include "base/cp932.h"

namespace vesk {
namespace {

// Encodes what it is given onto the piece being written, keeping the first failure.
class EncodingOutput : public DocumentOutput {
 public:
  explicit EncodingOutput(std::string& bytes) : bytes_(bytes) {}
  void append(std::string_view utf8) override {
    if (failure_) return;
    if (Status encoded = appendCp932WithCrLf(utf8, 0, utf8.size(), bytes_); !encoded) {
      failure_ = encoded.failure();
    }
  }
  const std::optional<Failure>& failure() const { return failure_; }

 private:
  std::string& bytes_;
  std::optional<Failure> failure_;
};

}  // namespace

Status writeDocumentFile(const std::string& path, const DocumentPieceWriter& produce,
                         const WrittenBytesObserver& written) {
  const ContentWriter pieces = [&](std::string& out) -> Result<bool> {
    EncodingOutput output(out);
    Result<bool> more = produce(output);
    if (!more) return more.failure();
    if (output.failure()) return *output.failure();
    if (written) written(out);
    return *more;
  };
  return writeFileAtomically(path, pieces);
}

}  // namespace vesk
