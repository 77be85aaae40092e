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
// Re-import: {missing} is the number at which the reading stopped; followed by one line
// per numbered folder after it that was left unread.
// Re-import: after a folder's missing roles, when the numbered folder is a link (its
// files are not the package's, wherever it leads).
inline constexpr const char* kReimportLinkedFolderReason = "（リンクのため読み込んでいません）";
inline constexpr const char* kUnreadFoldersMessage =
    "エラー　フォルダ{missing}がないため、次のフォルダは読み込まれていません:";

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

// A file that could not be written; the reason is the system's. {name} stands for a
// value (message_template.h).
inline constexpr const char* kWriteFailedMessage = "エラー　{path}を書き込めませんでした: {reason}";

// Text that code page 932 cannot hold: the character as "U+XXXX" and up to ten
// characters of the same line on either side of it.
inline constexpr const char* kUnencodableCharacterMessage =
    "エラー　Shift_JISで表せない文字があります: {character}「{context}」";
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
inline constexpr const char* kDocumentOutOfMemoryMessage =
    "エラー　メモリが足りないため、展示用nuvファイルを作成できませんでした";
inline constexpr const char* kVerifyDocumentUnreadable = "展示用nuvファイルを読み込めません: ";
// The same with the system's reason ({reason}: "ファイルまたはフォルダが見つかりません", say).
inline constexpr const char* kVerifyDocumentUnreadableBecause =
    "展示用nuvファイルを読み込めません（{reason}）: {path}";
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
// A numbered folder right after the document's last entry; followed by its path.
inline constexpr const char* kVerifyFolderNotInDocument =
    "展示用nuvファイルにない項目フォルダがあります（読み込み直すと項目が一つ増えます）: ";
inline constexpr const char* kVerifyMenuMismatch = "メニューページが項目数と合いません: ";

// Verifying a package's files against its manifest ({path}: the file concerned).
inline constexpr const char* kVerifyNotAPackage =
    "展示パッケージの展示用nuvファイルではないため、検査しませんでした: {path}";
inline constexpr const char* kVerifyManifestUnreadable =
    "マニフェストを読み取れません（形式が正しくありません）: {path}";
// {line}: the number of its first line that is not of the manifest's form.
inline constexpr const char* kVerifyManifestLineMalformed =
    "マニフェストを読み取れません（{line} 行目の形式が正しくありません）: {path}";
// {reason}: why the system could not read it.
inline constexpr const char* kVerifyManifestUnreadableBecause =
    "マニフェストを読み取れません（{reason}）: {path}";
// A package whose copy record remains but whose manifest is gone: its content cannot be
// vouched for.
inline constexpr const char* kVerifyManifestMissing =
    "マニフェストがありません（この展示用パッケージには作成時に書かれています。内容を確かめられ"
    "ません）: {path}";
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
inline constexpr const char* kVerifyListedTwice =
    "マニフェストに同じファイルが異なるハッシュで二度あります: {path}";
inline constexpr const char* kVerifyListedUnreadable = "ファイルを読み込めません: {path}";
inline constexpr const char* kVerifyFolderUnreadable = "フォルダを読み込めません: {path}";
// The same with the system's reason.
inline constexpr const char* kVerifyListedUnreadableBecause =
    "ファイルを読み込めません（{reason}）: {path}";
inline constexpr const char* kVerifyFolderUnreadableBecause =
    "フォルダを読み込めません（{reason}）: {path}";
inline constexpr const char* kVerifyRecordWrong =
    "コピー記録のファイルサイズが、マニフェストどおりのファイルと合いません（記録が壊れています）: "
    "{path}";
inline constexpr const char* kVerifyRecordUnreadable =
    "コピー記録を読み取れないため、ファイルのサイズを照合できませんでした: {path}";
inline constexpr const char* kVerifySizeUnknown =
    "コピー記録にサイズの記載がないため、サイズを照合できませんでした: {path}";
// The check: a file of the manifest's or the copy record's name that no package owns.
inline constexpr const char* kCheckManifestInTheWay =
    "保存先にマニフェストと同じ名前のファイルがあります（上書きも削除もしません）";
inline constexpr const char* kCheckRecordInTheWay =
    "保存先にコピー記録と同じ名前のファイルがあります（上書きも削除もしません）";
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
// The move into place failed and so did the way back: nothing was removed.
inline constexpr const char* kSwapUndoFailedMessage =
    "エラー　パッケージを保存先へ移せず、保存先を元の状態にも戻しきれませんでした。何も削除して"
    "いません。残りは作業用フォルダ（.vesk-staging）にあります。妨げになっているものを取り除いて"
    "から同じ保存先へもう一度作成すると、元に戻します: ";
// The working folder of a create or replace; {path} stands for the path concerned.
inline constexpr const char* kWorkingFolderNotOursMessage =
    "エラー　保存先の作業用フォルダの場所に、Vesk が作ったものではないもの（リンク、ファイル、"
    "または目印のないフォルダ）があります。触れずに中止しました。確認して移動してください: {path}";
inline constexpr const char* kDestinationBusyMessage =
    "エラー　この保存先には別の作成または置き換えが実行中です。終わってからもう一度作成してください"
    ": {path}";
inline constexpr const char* kWorkingFolderFailedMessage =
    "エラー　中断された作成または置き換えの後始末ができませんでした。もう一度作成してください: "
    "{path}";
// The undo of an interrupted replace blocked by what someone put at an earlier member's
// place meanwhile; one line per path follows.
inline constexpr const char* kRecoveryBlockedMessage =
    "エラー　前回中断された作成または置き換えを元に戻せません。以前のパッケージのものを戻す場所、"
    "または取り消す新しいパッケージの中に、Vesk が置いたのではないものがあります（移動も削除もして"
    "いません）。次のものを移すか削除してから、もう一度作成してください:";
// What the next create did with a create or replace killed earlier.
inline constexpr const char* kInterruptedReplaceCompletedMessage =
    "警告　前回中断された作成または置き換えを完了しました（新しいパッケージが入っています）";
inline constexpr const char* kInterruptedReplaceRolledBackMessage =
    "警告　前回中断された作成または置き換えを取り消し、保存先をその前の状態に戻しました";
// A create that did not finish: everything it made was removed again.
// A run of the dialog ended by a failure none of its parts foresaw (memory exhausted,
// say); the dialog and its list stay.
inline constexpr const char* kUnexpectedFailureMessage =
    "エラー　予期しない問題が起きたため、処理を中止しました。項目の一覧はそのままです";
inline constexpr const char* kCreateUndoneMessage =
    "エラー　作成を完了できなかったため、作成途中のファイルとフォルダをすべて削除しました。"
    "保存先は作成前のままです";
inline constexpr const char* kCreateCancelledUndoneMessage =
    "エラー　作成を中止したため、作成途中のファイルとフォルダをすべて削除しました。"
    "保存先は作成前のままです";
inline constexpr const char* kReplaceCancelledMessage =
    "エラー　置き換えを中止しました。以前のパッケージはそのままです";
// A replace that would move or remove what the earlier package does not own; one line
// per path follows.
inline constexpr const char* kReplaceObstaclesMessage =
    "エラー　以前のパッケージのものではないファイルやフォルダがあるため、置き換えを始めませんでした"
    "（移動も削除もしていません）:";
// Reading a package whose folder holds an interrupted replace; {path} is the folder.
inline constexpr const char* kPackageBeingWrittenMessage =
    "エラー　このフォルダでは作成または置き換えが実行中です。終わってからもう一度お試しください: "
    "{path}";
inline constexpr const char* kInterruptedReplaceFoundMessage =
    "エラー　このフォルダでは作成または置き換えが中断されています。このフォルダへもう一度作成すると"
    "、"
    "中断された作業を完了するか元に戻します: {path}";
// Asked of a dropped package whose folder holds a create or replace that did not
// finish: Yes undoes it, which puts the package back as it was, and reads it.
inline constexpr const char* kInterruptedPackageRecoverQuestion =
    "このフォルダでは作成または置き換えが中断されています。\n"
    "中断された作業を取り消して以前のパッケージに戻し、読み込みますか？";
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
inline constexpr const char* kReasonHashUnavailable =
    "SHA-256を計算できません（暗号ライブラリがハッシュを開けませんでした）";

// The files written could not be hashed for the manifest; followed by the reason.
inline constexpr const char* kHashFailedMessage =
    "エラー　書き込んだファイルの確認用ハッシュ値を計算できませんでした。展示用nuvファイルは作成"
    "していません";

// The copies could not be made durable before the document; followed by the reason.
// The flush after the new package moved in failed: it is in place, its writing to the
// disk unconfirmed; the next create finishes the work.
inline constexpr const char* kSwapUnflushedMessage =
    "エラー　新しいパッケージは保存先に入りましたが、ディスクへ書き込めたことを確かめられませんで"
    "した。同じ保存先へ置き換えとしてもう一度作成すると、この作業を完了します";
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

// The summary below the success text of a create, e.g.
// "項目 3 件、ファイル 15 個、容量 1.2 GB（1,234,567 バイト）、所要時間 2.3 秒、警告 0 件".
inline constexpr const char* kCreateSummary =
    "項目 {entries} 件、ファイル {files} 個、容量 {size}（{bytes} バイト）、所要時間 {time}、"
    "警告 {warnings} 件";
// The time of the summary.
inline constexpr const char* kDurationUnderATenth = "0.1 秒未満";
inline constexpr const char* kDurationSeconds = "{seconds} 秒";
inline constexpr const char* kDurationMinutes = "{minutes} 分 {seconds} 秒";
inline constexpr const char* kDurationHours = "{hours} 時間 {minutes} 分 {seconds} 秒";
// Below the summary of a replace that reused files of the earlier package.
inline constexpr const char* kSummaryReused =
    "変更のない {count} 個のファイル（{bytes}）は以前のパッケージのものを再利用しました。";

// The check made before a create. Each problem is one line: its severity word, then
// the problem with the entry folder ("00".."98") where an entry is concerned.
inline constexpr const char* kCheckErrorPrefix = "エラー　";
inline constexpr const char* kCheckWarningPrefix = "警告　";
inline constexpr const char* kCheckEntryLine = "{entry} {problem}: {path}";
inline constexpr const char* kCheckLine = "{problem}: {path}";
inline constexpr const char* kCheckErrorsHeading =
    "エラー　作成前の確認で問題が見つかりました。作成しません:";
inline constexpr const char* kCheckWarningsHeading =
    "警告　作成前の確認で注意が必要な点が見つかりました:";
inline constexpr const char* kCheckPassedMessage = "作成前の確認を終えました。問題はありません";

// What a problem concerns: the {role} of the problems' texts.
inline constexpr const char* kRoleScene = "nuvファイル";
inline constexpr const char* kRoleThumbnail = "サムネイル";
inline constexpr const char* kRoleDescription = "説明文";
inline constexpr const char* kRoleDataFile = "データファイル";
inline constexpr const char* kRoleDataFolder = "データフォルダ";
inline constexpr const char* kRoleButton = "ボタン画像";
inline constexpr const char* kRoleDocument = "展示用nuvファイル";
inline constexpr const char* kRoleDestination = "保存先フォルダ";
inline constexpr const char* kRoleEntryFolder = "エントリーフォルダ";

// Errors. {name} stands for a value (message_template.h).
inline constexpr const char* kCheckMissing = "{role}が見つかりません";
inline constexpr const char* kCheckUnreadable = "{role}を読み取れません";
inline constexpr const char* kCheckUnreadableBecause = "{role}を読み取れません（{reason}）";
inline constexpr const char* kCheckNotRegular = "{role}が通常のファイルではありません";
inline constexpr const char* kCheckNotFolder = "{role}がフォルダではありません";
inline constexpr const char* kCheckLinkInPackage =
    "{role}がパッケージの中のリンクです（Vesk が作ったものではないため、たどりません）";
inline constexpr const char* kCheckFolderFileUnreadable = "{role}の中のファイルを読み取れません";
inline constexpr const char* kCheckFolderFileNotRegular =
    "{role}の中に通常のファイルでないもの（パイプやデバイス）があります";
inline constexpr const char* kCheckCollision =
    "{role}がエントリーフォルダ内で別のファイルと重なります（置き場所 {place}、もう一方 {other}）";
// {character} is "U+XXXX", {context} up to ten characters of its line on either side.
inline constexpr const char* kCheckUnencodable =
    "{role}にShift_JISで表せない文字があります（{character}「{context}」）";
inline constexpr const char* kCheckMalformedText = "{role}の文字コードが正しくありません";
inline constexpr const char* kCheckTooManyElements =
    "{role}のデータ要素または描画グループが100個を超えています（作成できません）";
inline constexpr const char* kCheckUnwritableName =
    "{role}の名前に \" や改行があり、展示用nuvファイルに書けません";
inline constexpr const char* kCheckNotEnoughSpace =
    "保存先の空き容量が足りません（必要 {needed}、空き {free}）";
inline constexpr const char* kCheckEarlierPackage =
    "保存先には以前作成されたパッケージがあります（置き換えは指定されていません）";
inline constexpr const char* kCheckCancelled = "作成前の確認は中止されました";
// The destination's working folder and an interrupted replace, for the check.
inline constexpr const char* kCheckWorkingFolderNotOurs =
    "作業用フォルダの場所に Vesk が作ったものではないもの（リンク、ファイル、目印のないフォルダ）"
    "があります（触れずに中止します）";
inline constexpr const char* kCheckDestinationBusy =
    "この保存先には別の作成または置き換えが実行中です";
inline constexpr const char* kCheckRecoveryBlocked =
    "前回中断された作成または置き換えで以前のパッケージのものを戻す場所、または取り消す新しいパッケ"
    "ージの中に、Vesk が置いたのではないものがあります（移動も削除もしません）。これを移すか削除"
    "するまで作成できません";
inline constexpr const char* kCheckInterruptedReplace =
    "前回中断された作成または置き換えが残っています。作成の初めに完了または取り消します"
    "（この確認はその後の状態を調べています）";
inline constexpr const char* kCheckMemberInTheWay =
    "以前のパッケージのものではないものが、新しいパッケージの置き場所にあります（移動も削除もしませ"
    "ん）";
// Something Vesk did not put there: a file or folder the earlier package does not name,
// or a link where one of its files or folders was.
inline constexpr const char* kCheckUnaccountedFile =
    "Vesk が以前のパッケージに入れたものではないファイル、フォルダまたはリンクが項目フォルダの"
    "中にあります（置き換えで削除しないよう中止します）";
inline constexpr const char* kCheckDestinationUnusable = "保存先フォルダを作れません（{reason}）";
inline constexpr const char* kCheckButtonOverSource =
    "作成に使うこのファイルはボタン画像 {name} "
    "で上書きされます（ファイルを別のフォルダへ移してください）";
inline constexpr const char* kCheckDestinationInWorkingFolder =
    "保存先フォルダが Vesk の作業フォルダ {folder} "
    "の中にあります（作業フォルダは次の作成で削除されます）";
inline constexpr const char* kCheckSourceInWorkingFolder =
    "このファイルは Vesk の作業フォルダ {folder} "
    "の中にあり、次の作成で削除されます（作業フォルダの外へ移してください）";
inline constexpr const char* kCheckDestinationInPackage =
    "保存先フォルダが別のパッケージの項目フォルダ {folder} "
    "の中にあります（そのパッケージが検証を通らなくなります）";
inline constexpr const char* kCheckNameTooLong =
    "{role}の名前が保存先のファイルシステムには長すぎます";
inline constexpr const char* kCheckPathTooLong =
    "{role}のパスが保存先のファイルシステムには長すぎます";
inline constexpr const char* kCheckUnusableCharacter =
    "{role}のパスにファイル名に使えない文字（NUL など）があります";
inline constexpr const char* kCheckUnclosedData =
    "{role}の描画グループに </data> で閉じていない <data があります"
    "（展示用nuvファイルが正しく読めなくなります）";
// {problem}: the problem the finished package would have.
inline constexpr const char* kCheckDocumentMismatch = "作成後の確認で問題になります: {problem}";

// Warnings.
inline constexpr const char* kCheckPictureNotAccepted =
    "{role}の画像サイズを読み取れません（拡張子が .jpg .jpeg .png .bmp ではありません）。"
    "パッケージを読み込み直すとこの画像は項目に入りません";
inline constexpr const char* kCheckPictureContentUnreadable =
    "{role}の画像サイズを読み取れません"
    "（JPEG・PNG・BMP として読めません。壊れているか途中で切れています）。"
    "パッケージを読み込み直すとこの画像は項目に入りません";
inline constexpr const char* kCheckThumbnailPortrait =
    "{role}が縦長です（{width}×{height}）。パッケージを読み込み直すと説明として扱われます";
inline constexpr const char* kCheckDescriptionLandscape =
    "{role}が横長です（{width}×{height}）。パッケージを読み込み直すとサムネイルとして扱われます";
inline constexpr const char* kCheckDescriptionSquare =
    "{role}が正方形です（{width}×{height}）。パッケージを読み込み直すとサムネイルとして扱われます";
inline constexpr const char* kCheckNoTopGroup =
    "{role}に名前に Sur を含む描画グループがありません（メニューから移動できません）";
// {name}: the file's name in the entry folder.
inline constexpr const char* kCheckReimportTakesOther =
    "パッケージを読み込み直すと、{role}としてデータファイル {name} が読み込まれます"
    "（同じ種類で名前が後に並ぶファイルです）";
// {group}: the draw group's name as the scene writes it.
inline constexpr const char* kCheckUndecodableBytesJoined =
    "{role}の文字として読めないバイトが、結合のあとでは次のバイトと合わせて別の文字として読まれ"
    "ます（キャプションを取り除いた箇所です。展示用nuvファイルではその前後が変わります）";
inline constexpr const char* kCheckTopGroupUnnumbered =
    "{role}の描画グループ {group} の名前に項目番号が付きません（name= が drawGroup の直後に"
    "ありません。メニューから移動できません）";
// {entry}: the entry folder of the first entry with the scene.
inline constexpr const char* kCheckDuplicateScene = "{role}は次の項目にも登録されています: {entry}";
inline constexpr const char* kCheckWindowsReservedName =
    "{role}の名前はWindowsで使えません（予約された名前）";
inline constexpr const char* kCheckWindowsTrailingDot =
    "{role}の名前はWindowsで使えません（末尾が . または空白）";
inline constexpr const char* kCheckWindowsForbiddenCharacter =
    "{role}の名前はWindowsで使えません（\\<>:\"|?* や制御文字を含む）";
inline constexpr const char* kCheckWindowsPathTooLong =
    "{role}の名前はWindowsで使えません（パスが259文字を超える）";
inline constexpr const char* kCheckDataElementWithoutPath =
    "シーンに、ファイルのパス（path=\"…\"）がないかシーンのフォルダそのものを指すデータ要素が"
    "あるため、シーンのフォルダのファイルをすべてコピーします";
inline constexpr const char* kCheckStrayEntryFolder =
    "保存先のこの項目はパッケージのものではありませんが、項目フォルダの名前のため、"
    "パッケージの検証で余分な項目として報告されます";
inline constexpr const char* kCheckWindowsCaseTwin =
    "{role}の名前はWindowsでは {other} と同じ名前になります（大文字と小文字を区別しません）";

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
// The count line, e.g. "エラー 2 件、警告 1 件": each count that is not 0, the two
// joined by kProblemCountSeparator.
inline constexpr const char* kProblemCountErrors = "エラー {count} 件";
inline constexpr const char* kProblemCountWarnings = "警告 {count} 件";
inline constexpr const char* kProblemCountSeparator = "、";
inline constexpr const char* kProblemsCreateButton = "作成";
inline constexpr const char* kProblemsAbortButton = "中止";

}  // namespace vesk
