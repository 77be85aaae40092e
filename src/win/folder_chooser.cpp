#include "folder_chooser.h"

#include <shobjidl.h>

#include "editor/chooser_start.h"
#include "messages/dialog_texts.h"
#include "wide_text.h"

namespace vesk::win {

namespace {

// Releases a COM interface when it goes out of scope.
template <typename T>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() {
    if (p_ != nullptr) p_->Release();
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T** out() { return &p_; }
  T* operator->() const { return p_; }
  T* get() const { return p_; }

 private:
  T* p_ = nullptr;
};

}  // namespace

std::string chooseDestinationFolder(HWND owner, const std::string& startPath) {
  ComPtr<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(dialog.out())))) {
    return {};
  }
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST);
  dialog->SetTitle(toWide(kChooseFolderTitle).c_str());
  const std::wstring start = toWide(chooserStartFolder(startPath));
  if (!start.empty()) {
    ComPtr<IShellItem> folder;
    if (SUCCEEDED(
            SHCreateItemFromParsingName(start.c_str(), nullptr, IID_PPV_ARGS(folder.out())))) {
      dialog->SetFolder(folder.get());
    }
  }
  if (FAILED(dialog->Show(owner))) return {};  // cancelled
  ComPtr<IShellItem> result;
  if (FAILED(dialog->GetResult(result.out()))) return {};
  wchar_t* path = nullptr;
  if (FAILED(result->GetDisplayName(SIGDN_FILESYSPATH, &path)) || path == nullptr) return {};
  const std::string chosen = toUtf8(path);
  CoTaskMemFree(path);
  return chosen;
}

}  // namespace vesk::win
