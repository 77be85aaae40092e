#pragma once

namespace vesk {

// Texts of the package report (確認ページ), UTF-8.

// The report's file name at the top of a package: ASCII, so that every archive tool
// and browser keeps it.
inline constexpr const char* kReportFileName = "vesk-report.html";

// Printed once a report was written, before its path.
inline constexpr const char* kReportWrittenMessage = "確認ページを書き出しました: ";
// Shown when a report cannot be written, before the failure's text.
inline constexpr const char* kReportFailedMessage = "エラー　確認ページを書き出せませんでした";
// The command line: an output path that names a file of the package; followed by it.
inline constexpr const char* kReportOutIsPackageFile =
    "エラー　確認ページの出力先にパッケージのファイルは指定できません（上書きしません）: ";
// A file of the report's name at the package's top that is not a page Vesk wrote.
inline constexpr const char* kReportPageNotOurs =
    "確認ページの場所に Vesk が作ったものではないファイルがあります（上書きしません）: ";
inline constexpr const char* kReportOutIsLink =
    "エラー　確認ページの出力先がリンクです（Vesk が作ったものではないため、置き換えません）: ";

// The check: a file of the report's name in a destination whose package is not
// replaced.
inline constexpr const char* kCheckReportInTheWay =
    "保存先に確認ページと同じ名前のファイルがあります（上書きも削除もしません）";

// The dialog's context menu item that opens the report page.
inline constexpr const char* kOpenReportMenuText = "確認ページを開く";
// 確認ページを開く before any package was created or dropped.
inline constexpr const char* kReportNoPackageMessage =
    "エラー　確認するパッケージがありません。nuv 作成を行うか、exhibition.nuv をドロップしてくださ"
    "い";
// The browser could not be started; followed by the page's path.
inline constexpr const char* kReportNotOpenedMessage = "エラー　確認ページを開けませんでした: ";
// The start of the page's name in the temporary folder, before the package's name.
inline constexpr const char* kReportTemporaryPrefix = "vesk-report-";

inline constexpr const char* kReportTitle = "確認ページ";
inline constexpr const char* kReportPackageHeading = "パッケージ";
inline constexpr const char* kReportMenuHeading = "メニュー";
inline constexpr const char* kReportEntriesHeading = "項目";

inline constexpr const char* kReportEntryCount = "項目数";
inline constexpr const char* kReportFiles = "ファイル数";
inline constexpr const char* kReportBytes = "合計サイズ";
inline constexpr const char* kReportManifest = "マニフェスト";
inline constexpr const char* kReportManifestVerified = "いま照合済み（一致）";
inline constexpr const char* kReportManifestNotVerified = "照合していません";
inline constexpr const char* kReportManifestNone = "ありません";
inline constexpr const char* kReportManifestMismatch =
    "いま照合済み（一致しないファイルがあります）";
inline constexpr const char* kReportCheck = "検査";
inline constexpr const char* kReportNoProblems = "問題は見つかりませんでした";
inline constexpr const char* kReportProblemCount = "件の問題があります";
inline constexpr const char* kReportTool = "作成ツール";
inline constexpr const char* kReportMadeAt = "作成日時";
inline constexpr const char* kReportPictures = "画像";
inline constexpr const char* kReportPicturesLinked =
    "パッケージ内のファイルを参照しています（このページはパッケージと一緒に移動してください）";
inline constexpr const char* kReportPicturesEmbedded =
    "このページに埋め込まれています（パッケージの外に書かれたため）";

inline constexpr const char* kReportPage = "ページ";
inline constexpr const char* kReportUnreached = "どのボタンからも表示されないページ";
inline constexpr const char* kReportEmptyPage = "サムネイルなし";
inline constexpr const char* kReportUpButton = "▲ 上";
inline constexpr const char* kReportDownButton = "▼ 下";
inline constexpr const char* kReportNoTarget = "行き先なし";

inline constexpr const char* kReportThumbnail = "サムネイル";
inline constexpr const char* kReportDescription = "説明画像";
inline constexpr const char* kReportPortraitMark = "縦長のサムネイル";
inline constexpr const char* kReportLandscapeMark = "横長の説明画像";
inline constexpr const char* kReportPictureMissing = "画像がありません";
inline constexpr const char* kReportSizeUnknown = "サイズ不明";
inline constexpr const char* kReportSceneMissing = "シーンファイルがありません";
inline constexpr const char* kReportData = "データ";
inline constexpr const char* kReportNoData = "データファイルはありません";
inline constexpr const char* kReportFile = "ファイル";
inline constexpr const char* kReportFolder = "フォルダ";
inline constexpr const char* kReportMissing = "見つかりません";
inline constexpr const char* kReportByteUnit = "バイト";

}  // namespace vesk
