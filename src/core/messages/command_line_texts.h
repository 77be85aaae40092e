#pragma once

// vesk-cli's own texts: its help and what it says when it is called wrongly. Texts in
// braces are filled in; the help keeps the option names themselves as they are typed.

namespace vesk {

inline constexpr const char* kCliDescription =
    "Vesk: 3D シーンビューアの展示用パッケージを作成します";
inline constexpr const char* kCliHelpFlag = "この説明を表示して終了します";
inline constexpr const char* kCliVersionFlag = "版を表示します";
inline constexpr const char* kCliProbe = "画像のピクセル寸法を表示します";
inline constexpr const char* kCliProbeFiles = "画像ファイル（一つ以上）";
inline constexpr const char* kCliBuild = "展示用パッケージを作成します";
inline constexpr const char* kCliCheck = "作成で起きる問題をすべて表示します（何も作成しません）";
inline constexpr const char* kCliDemo = "同梱の見本から展示用パッケージを作成します";
inline constexpr const char* kCliDemoFolder = "保存先フォルダ（省略時は ./vesk-demo）";
inline constexpr const char* kCliDemoNotEmpty =
    "エラー　{path} は空ではありません。別のフォルダを指定してください";
inline constexpr const char* kCliDemoNotAFolder =
    "エラー　{path} はフォルダではありません。別のフォルダを指定してください";
inline constexpr const char* kCliReimport = "以前作成されたパッケージの項目を一覧表示します";
inline constexpr const char* kCliVerify = "作成済みのパッケージを検査します";
inline constexpr const char* kCliVerifyQuick =
    "ファイルの有無と大きさだけを一覧と照合し、ハッシュは計算しません";
inline constexpr const char* kCliReport = "作成済みのパッケージのレポートページを書き出します";
inline constexpr const char* kCliReportOut =
    "ページの保存先（省略時はパッケージ内の vesk-report.html）";
inline constexpr const char* kCliPackageDocument = "パッケージの exhibition.nuv（必須）";
inline constexpr const char* kCliDestination =
    "保存先フォルダ（必須。なければ build が作成します）";
inline constexpr const char* kCliProgramFolder =
    "up.jpg と down.jpg のあるフォルダ（省略時はプログラムのフォルダ）";
inline constexpr const char* kCliFrom = "先に並べる項目を持つ、以前のパッケージの exhibition.nuv";
inline constexpr const char* kCliReplace =
    "保存先の以前のパッケージを置き換えます（すべて置き換えるか、何も変えないかのどちらか）";
inline constexpr const char* kCliReportFlag =
    "パッケージの最上位にレポートページ vesk-report.html を書き出します";
inline constexpr const char* kCliEntry = "一つの項目のシーン、サムネイル、説明画像";

// Labels of the help's layout.
inline constexpr const char* kCliUsageLabel = "使い方";
inline constexpr const char* kCliOptionsLabel = "オプション";
inline constexpr const char* kCliSubcommandLabel = "サブコマンド";
inline constexpr const char* kCliArgumentsLabel = "引数";

// Said when the command line cannot be followed; kCliSeeHelp follows on its own line.
inline constexpr const char* kCliSubcommandMissing =
    "エラー　サブコマンド（probe、build、check、demo、reimport、verify、report）を指定してください";
inline constexpr const char* kCliArgumentMissing = "エラー　{name} を指定してください";
inline constexpr const char* kCliUnexpectedArguments = "エラー　次の引数は使えません: {arguments}";
inline constexpr const char* kCliValueCountWrong = "エラー　{name} に渡す値の数が正しくありません";
inline constexpr const char* kCliOptionRepeated = "エラー　{name} は一度だけ指定できます";
inline constexpr const char* kCliFlagTakesNoValue = "エラー　{name} には値を付けられません";
inline constexpr const char* kCliEntryValues =
    "エラー　--entry にはシーン、サムネイル、説明画像の三つのパスを指定してください";
inline constexpr const char* kCliCommandLineWrong =
    "エラー　コマンドラインを解釈できません（{detail}）";
inline constexpr const char* kCliSeeHelp = "使い方は vesk-cli --help で表示できます";
// The end of the main help: where each subcommand's help is, and the exit statuses.
inline constexpr const char* kCliHelpFooter =
    "各サブコマンドの説明は vesk-cli サブコマンド --help で表示できます。\n"
    "終了状態: 0 成功、1 失敗（問題が見つかった、作成できなかった）、2 コマンドラインの誤り、"
    "シグナルで中止したときはそのシグナルによる終了。";

// After a question, which vesk-cli answers No itself (it never waits for input).
inline constexpr const char* kCliAnsweredNo = " [いいえ]";

// vesk-cli demo's summary after the create's own; the second form where files of an
// earlier demo were reused rather than copied.
inline constexpr const char* kCliDemoWritten =
    "見本の展示を {path} に作成しました\n"
    "  項目: {entries} 件、メニュー: {pages} ページ、コピーしたファイル: {files} 個（{bytes} "
    "バイト）と exhibition.nuv";
inline constexpr const char* kCliDemoWrittenReusing =
    "見本の展示を {path} に作成しました\n"
    "  項目: {entries} 件、メニュー: {pages} ページ、コピーしたファイル: {files} 個（{bytes} "
    "バイト）と exhibition.nuv、以前の見本から再利用したファイル: {reused} 個（{reusedBytes} "
    "バイト）";

}  // namespace vesk
