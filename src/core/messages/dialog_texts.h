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

// The progress window of the check before a create and of the create itself: its
// title and Cancel button, the line above the bar (the file being checked or copied
// follows "…中: ") and the units of the counts line below it.
inline constexpr const char* kProgressTitle = "nuv 作成";
inline constexpr const char* kProgressCancelButton = "キャンセル";
inline constexpr const char* kProgressPreparing = "準備しています…";
inline constexpr const char* kProgressChecking = "確認しています…";
inline constexpr const char* kProgressCheckingItem = "確認中: ";
inline constexpr const char* kProgressCopying = "コピーしています…";
inline constexpr const char* kProgressCopyingItem = "コピー中: ";
inline constexpr const char* kProgressCancelling = "中止しています…";
inline constexpr const char* kProgressFinishing = "仕上げています…";
inline constexpr const char* kProgressFilesUnit = " ファイル";
inline constexpr const char* kProgressEntriesUnit = " 項目";

}  // namespace vesk
