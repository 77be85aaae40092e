#pragma once

// Every text the system shows the operator, in one place. Texts are UTF-8; '\n'
// starts a new line. Error texts begin with "エラー" and an ideographic space.

namespace vesk {

// Editing commands.
inline constexpr const char* kIncompleteEntryMessage = "エラー　要素が足りません";

// Drop routing.
inline constexpr const char* kReimportQuestion =
    "以前作成された展示用nuvファイルが入力されました。\n読み込みますか？";

// The message for a Yes to a document whose folder holds no numbered folder 00; the
// folder follows on its own line. The list stays as it was.
inline constexpr const char* kNoPackageFoundMessage =
    "エラー　次のフォルダに展示用パッケージ（フォルダ 00）が見つかりません。"
    "登録内容は変更していません:";

// Re-import: followed by one line per folder that lacks a file.
inline constexpr const char* kMissingRolesMessage =
    "エラー　次のフォルダに足りないファイルがあります:";

// The create: entry count, end and cancel.
inline constexpr const char* kNoEntriesMessage = "エラー　nuvファイルが一つも登録されていません";
inline constexpr const char* kTooManyEntriesMessage =
    "エラー　登録されているnuvファイルが99個を超えています。\n登録数は99個以下にしてください";
inline constexpr const char* kCreatedMessage = "展示用nuvファイルを作成しました";
inline constexpr const char* kCancelledMessage = "エラー　作成は中止されました";

// The command line: a destination folder that could not be made; followed by it.
inline constexpr const char* kDestinationNotCreatedMessage =
    "エラー　保存先フォルダを作成できませんでした: ";

// The create: pictures whose size could not be read; followed by one line per picture.
inline constexpr const char* kUnreadablePicturesMessage =
    "エラー　画像のサイズを読み取れませんでした。サイズ 0, 0 として書き込みました:";

// A file that could not be written: "エラー　<path>を書き込めませんでした: <reason>",
// the reason being the system's.
inline constexpr const char* kWriteFailedBefore = "エラー　";
inline constexpr const char* kWriteFailedAfter = "を書き込めませんでした: ";

// Text that code page 932 cannot hold: followed by "U+XXXX「context」", the context
// being up to ten characters of the same line on either side of the character.
inline constexpr const char* kUnencodableCharacterMessage =
    "エラー　Shift_JISで表せない文字があります: ";
// Text that is not UTF-8.
inline constexpr const char* kMalformedTextMessage = "エラー　文字コードが正しくありません";

// The package builder: prefixed, without a blank, by the folder or file concerned
// where it names one.
inline constexpr const char* kFolderCreationFailed = "フォルダ作成に失敗しました";
inline constexpr const char* kSceneCopyFailed = "nuvファイルのコピーに失敗しました";
inline constexpr const char* kThumbnailCopyFailed = "サムネイルのコピーに失敗しました";
inline constexpr const char* kDescriptionCopyFailed = "説明文のコピーに失敗しました";
inline constexpr const char* kDataCopyFailed = "作成に失敗しました";
inline constexpr const char* kFolderDataCopyFailed = "フォルダ内のデータコピーに失敗しました";
inline constexpr const char* kUpCopyFailed = "up.jpgのコピーに失敗しました";
inline constexpr const char* kDownCopyFailed = "down.jpgのコピーに失敗しました";

}  // namespace vesk
