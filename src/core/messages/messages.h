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

// The create: a source that is not as the check saw it (changed, replaced or gone);
// followed by its path.
inline constexpr const char* kSourceChangedMessage =
    "エラー　作成前の確認の後でファイルが変更されました。もう一度作成してください: ";

// The command line: a destination folder that could not be made; followed by it.
inline constexpr const char* kDestinationNotCreatedMessage =
    "エラー　保存先フォルダを作成できませんでした: ";

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

// Verifying a finished package: the heading of the problem list, then one line per
// problem, each its text followed by the path, folder or element concerned.
inline constexpr const char* kVerifyFailedMessage =
    "エラー　パッケージの検査で問題が見つかりました:";
inline constexpr const char* kVerifiedMessage = "パッケージを検査しました。問題はありません";
inline constexpr const char* kVerifyDocumentUnreadable = "展示用nuvファイルを読み込めません: ";
inline constexpr const char* kVerifyDocumentUndecodable =
    "展示用nuvファイルにShift_JISとして読めないバイトがあります: ";
inline constexpr const char* kVerifyDocumentMalformed =
    "展示用nuvファイルの形式が正しくありません（NuvrelFile 1.35 ではありません）: ";
inline constexpr const char* kVerifyAbsolutePath = "絶対パスが書かれています: ";
inline constexpr const char* kVerifyPathOutside = "パッケージの外を指すパスがあります: ";
inline constexpr const char* kVerifyPathMissing = "ファイルまたはフォルダが見つかりません: ";
inline constexpr const char* kVerifySceneMissing = "フォルダにnuvファイルがありません: ";
inline constexpr const char* kVerifyPictureUnreadable = "画像のサイズを読み取れません: ";
inline constexpr const char* kVerifyPictureSizeWrong = "画像のサイズが文書の記載と異なります: ";
inline constexpr const char* kVerifyButtonMissing = "ボタン画像がありません: ";
inline constexpr const char* kVerifyEntryMismatch = "項目の要素が揃っていません: ";
inline constexpr const char* kVerifyMenuMismatch = "メニューページが項目数と合いません: ";

// Verifying a package's files against its manifest ({path}: the file concerned).
inline constexpr const char* kVerifyNotAPackage =
    "展示パッケージの展示用nuvファイルではないため、検査しませんでした: {path}";
inline constexpr const char* kVerifyManifestUnreadable =
    "マニフェストを読み取れません（形式が正しくありません）: {path}";
inline constexpr const char* kVerifyListedMissing =
    "マニフェストに記載されたファイルがありません: {path}";
inline constexpr const char* kVerifyIrregularFile =
    "通常のファイルではありません（シンボリックリンク、FIFO、デバイスなど）: {path}";
inline constexpr const char* kVerifySizeWrong =
    "ファイルのサイズが作成時と異なります（{expected} バイトのはずが {actual} バイト）: {path}";
inline constexpr const char* kVerifyHashWrong =
    "ファイルの内容が作成時と異なります（SHA-256 が一致しません）: {path}";
inline constexpr const char* kVerifyUnlisted = "マニフェストにないファイルがあります: {path}";
inline constexpr const char* kVerifyUnlistedFolder =
    "マニフェストにない項目フォルダがあります: {path}";
inline constexpr const char* kVerifyListedOutside =
    "マニフェストにパッケージの外を指すパスがあります: {path}";
inline constexpr const char* kVerifyListedUnreadable = "ファイルを読み込めません: {path}";
// The check: a file of the manifest's or the copy record's name that no package owns.
inline constexpr const char* kCheckManifestInTheWay =
    "保存先にマニフェストと同じ名前のファイルがあります（上書きも削除もしません）";
// The note below the verdict of verify on what it compared.
inline constexpr const char* kVerifyContentChecked =
    "マニフェストの {count} 個のファイルをすべて SHA-256 で照合しました。";
inline constexpr const char* kVerifySizesChecked =
    "マニフェストの {count} "
    "個のファイルの有無とサイズだけを確かめました（内容は照合していません）。";
inline constexpr const char* kVerifyNoManifest =
    "マニフェスト（exhibition.sha256）がないため、ファイルの内容は照合していません。";

// Replacing an earlier package.
inline constexpr const char* kStagingNotCreatedMessage =
    "エラー　作業用フォルダを作成できませんでした。以前のパッケージはそのままです: ";
inline constexpr const char* kEarlierPackageKeptMessage =
    "エラー　新しいパッケージを完成できなかったため、以前のパッケージをそのまま残しました";
inline constexpr const char* kSwapFailedMessage =
    "エラー　パッケージを入れ替えられなかったため、以前のパッケージに戻しました: ";
inline constexpr const char* kReplaceQuestion =
    "保存先には以前作成されたパッケージがあります。\n新しいパッケージに置き換えますか？";

}  // namespace vesk

namespace vesk {

// Why something failed: follows the failure's own text on a line of its own.
inline constexpr const char* kReasonMissing = "見つかりません";
inline constexpr const char* kReasonExists = "既に存在します";
inline constexpr const char* kReasonNotRegularFile =
    "通常のファイルではありません（パイプやデバイスは読みません）";
inline constexpr const char* kReasonIsFolder = "フォルダです";
inline constexpr const char* kReasonTooLarge = "ファイルが大きすぎます";
inline constexpr const char* kReasonShrank = "コピー中に元のファイルが短くなりました";
inline constexpr const char* kReasonFolderUnreadable = "フォルダの中を読み取れません";

// The copies could not be made durable before the document; followed by the reason.
inline constexpr const char* kFlushFailedMessage =
    "エラー　コピーしたファイルをディスクに書き込めませんでした。展示用nuvファイルは作成していませ"
    "ん";

// The command line: a re-import source that is no package document; followed by it.
inline constexpr const char* kNotAPackageMessage =
    "エラー　展示用nuvファイル（exhibition.nuv）ではないか、見つかりません: ";
// The command line: output that could not be written (a full disk or a closed pipe).
inline constexpr const char* kOutputFailedMessage = "エラー　出力を書き込めませんでした";

}  // namespace vesk

namespace vesk {

// The summary below the success text of a create:
// "項目 3 件、ファイル 15 個、容量 1.2 GB（1,234,567 バイト）、所要時間 2.3 秒、警告 0 件".
inline constexpr const char* kSummaryEntries = "項目 ";
inline constexpr const char* kSummaryFiles = " 件、ファイル ";
inline constexpr const char* kSummaryBytes = " 個、容量 ";
inline constexpr const char* kSummaryExactBytes = " バイト）";
inline constexpr const char* kSummaryTime = "、所要時間 ";
inline constexpr const char* kSummaryWarnings = "、警告 ";
inline constexpr const char* kSummaryEnd = " 件";
inline constexpr const char* kSummarySeconds = "秒";
inline constexpr const char* kSummaryMinutes = "分";
inline constexpr const char* kSummaryHours = "時間";
inline constexpr const char* kSummaryUnder = "未満";
// Below the summary of a replace that reused files of the earlier package.
inline constexpr const char* kSummaryReused =
    "変更のない {count} 個のファイル（{bytes}）は以前のパッケージのものを再利用しました。";

// The check made before a create. Each problem is one line: its prefix, the entry
// folder ("00".."98") and a blank where an entry is concerned, the role and the
// fault's text, then ": " and the path concerned.
inline constexpr const char* kCheckErrorPrefix = "エラー　";
inline constexpr const char* kCheckWarningPrefix = "警告　";
inline constexpr const char* kCheckErrorsHeading =
    "エラー　作成前の確認で問題が見つかりました。作成しません:";
inline constexpr const char* kCheckWarningsHeading =
    "警告　作成前の確認で注意が必要な点が見つかりました:";
inline constexpr const char* kCheckPassedMessage = "作成前の確認を終えました。問題はありません";

// Roles.
inline constexpr const char* kRoleScene = "nuvファイル";
inline constexpr const char* kRoleThumbnail = "サムネイル";
inline constexpr const char* kRoleDescription = "説明文";
inline constexpr const char* kRoleDataFile = "データファイル";
inline constexpr const char* kRoleDataFolder = "データフォルダ";
inline constexpr const char* kRoleButton = "ボタン画像";
inline constexpr const char* kRoleDocument = "展示用nuvファイル";
inline constexpr const char* kRoleDestination = "保存先フォルダ";

// Errors; each follows the role.
inline constexpr const char* kCheckMissing = "が見つかりません";
inline constexpr const char* kCheckUnreadable = "を読み取れません";
inline constexpr const char* kCheckNotRegular = "が通常のファイルではありません";
inline constexpr const char* kCheckNotFolder = "がフォルダではありません";
inline constexpr const char* kCheckFolderFileUnreadable = "の中のファイルを読み取れません";
inline constexpr const char* kCheckFolderFileNotRegular =
    "の中に通常のファイルでないもの（パイプやデバイス）があります";
// The fault texts follow the role; {name} stands for a value (message_template.h).
inline constexpr const char* kCheckCollision =
    "がエントリーフォルダ内で別のファイルと重なります（置き場所 {place}、もう一方 {other}）";
// Followed by "（U+XXXX「context」）".
inline constexpr const char* kCheckUnencodable = "にShift_JISで表せない文字があります";
inline constexpr const char* kCheckTooManyElements =
    "のデータ要素または描画グループが100個を超えています（作成できません）";
inline constexpr const char* kCheckUnwritableName =
    "の名前に \" や改行があり、展示用nuvファイルに書けません";
inline constexpr const char* kCheckNotEnoughSpace =
    "保存先の空き容量が足りません（必要 {needed}、空き {free}）";
inline constexpr const char* kCheckEarlierPackage =
    "保存先には以前作成されたパッケージがあります（置き換えは指定されていません）";
inline constexpr const char* kCheckCancelled = "作成前の確認は中止されました";
inline constexpr const char* kCheckDestinationUnusable = "保存先フォルダを作れません（{reason}）";
inline constexpr const char* kCheckNameTooLong = "の名前が保存先のファイルシステムには長すぎます";
inline constexpr const char* kCheckPathTooLong = "のパスが保存先のファイルシステムには長すぎます";
inline constexpr const char* kCheckUnusableCharacter =
    "のパスにファイル名に使えない文字（NUL など）があります";
inline constexpr const char* kCheckUnclosedData =
    "の描画グループに </data> で閉じていない <data があります"
    "（展示用nuvファイルが正しく読めなくなります）";
// Followed by the problem the finished package would have.
inline constexpr const char* kCheckDocumentMismatch = "作成後の確認で問題になります: ";

// Warnings; each follows the role.
inline constexpr const char* kCheckPictureSizeUnknown = "の画像サイズを読み取れません";
// Why, after kCheckPictureSizeUnknown: the name or the content.
inline constexpr const char* kPictureNotAccepted =
    "（拡張子が .jpg .jpeg .png .bmp ではありません）";
inline constexpr const char* kPictureContentUnreadable =
    "（JPEG・PNG・BMP として読めません。壊れているか途中で切れています）";
inline constexpr const char* kCheckThumbnailPortrait = "が縦長です（{width}×{height}）";
inline constexpr const char* kCheckDescriptionLandscape = "が横長です（{width}×{height}）";
inline constexpr const char* kCheckNoTopGroup =
    "に名前に Sur を含む描画グループがありません（メニューから移動できません）";
inline constexpr const char* kCheckDuplicateScene = "は次の項目にも登録されています: ";
inline constexpr const char* kCheckWindowsName = "の名前はWindowsで使えません";
inline constexpr const char* kWindowsReservedName = "（予約された名前）";
inline constexpr const char* kWindowsTrailingDot = "（末尾が . または空白）";
inline constexpr const char* kWindowsForbiddenCharacter = "（<>:\"|?* や制御文字を含む）";
inline constexpr const char* kWindowsPathTooLong = "（パスが259文字を超える）";

// The window that lists the problems the check found before a create: its title, its
// heading (with errors the create cannot go on; with warnings only it may), the word
// before each line, the count line's parts and its two buttons.
inline constexpr const char* kProblemsTitle = "作成前の確認";
inline constexpr const char* kProblemsErrorHeading =
    "エラー　次の問題があるため作成できません。問題を直してから、もう一度作成してください:";
inline constexpr const char* kProblemsWarningHeading =
    "次の点を確認してください。このまま作成するときは「作成」を押してください:";
inline constexpr const char* kProblemSeverityError = "エラー";
inline constexpr const char* kProblemSeverityWarning = "警告";
// The count line: "エラー 2 件、警告 1 件".
inline constexpr const char* kProblemCountUnit = " 件";
inline constexpr const char* kProblemCountSeparator = "、";
inline constexpr const char* kProblemsCreateButton = "作成";
inline constexpr const char* kProblemsAbortButton = "中止";

}  // namespace vesk
