#pragma once

namespace vesk {

// Texts that the dialog shows the same way in every front end.

// The item of the window's menu that opens the about box.
inline constexpr const char* kAboutMenuText = "バージョン情報 Vesk(&A)...";
// The about box's title and its line under the name and version.
inline constexpr const char* kAboutTitle = "バージョン情報 Vesk";
inline constexpr const char* kAboutPurpose = "展示用nuvファイル作成ツール";
// The title of the destination folder chooser.
inline constexpr const char* kChooseFolderTitle = "保存先フォルダを選択してください";

}  // namespace vesk
