#pragma once

#ifndef _WIN32
#include <cerrno>
#endif

namespace vesk {

// The operator's text for the system errors file work meets, so that a reason reads
// Japanese whatever language the system itself speaks; nullptr for any other error.
// POSIX error numbers, or Windows error codes on Windows.
inline const char* japaneseSystemReason(int systemError) {
  switch (systemError) {
#ifndef _WIN32
    case ENOENT:
      return "ファイルまたはフォルダが見つかりません";
    case EACCES:
    case EPERM:
      return "アクセスが拒否されました";
    case ENOSPC:
    case EDQUOT:
      return "ディスクの空き容量が足りません";
    case ENOTDIR:
      return "途中にフォルダではないものがあります";
    case EISDIR:
      return "フォルダです";
    case EEXIST:
      return "同じ名前のファイルまたはフォルダが既にあります";
    case ENOTEMPTY:
      return "フォルダが空ではありません";
    case EROFS:
      return "読み取り専用のドライブです";
    case ENAMETOOLONG:
      return "名前またはパスが長すぎます";
    case EIO:
      return "ディスクの読み書きでエラーが発生しました";
    case ELOOP:
      return "シンボリックリンクが多すぎるか、循環しています";
    case EMFILE:
    case ENFILE:
      return "開いているファイルが多すぎます";
    case ENOMEM:
      return "メモリが足りません";
    case EFBIG:
      return "ファイルが大きすぎます";
    case EXDEV:
      return "別のドライブへは移動できません";
    case EBUSY:
    case ETXTBSY:
      return "使用中です";
    case EINVAL:
      return "このドライブでは使えない名前か操作です";
    case ESTALE:
    case ENOTCONN:
    case ETIMEDOUT:
      return "ネットワーク上のファイルに接続できません";
#else
    case 2:  // ERROR_FILE_NOT_FOUND
    case 3:  // ERROR_PATH_NOT_FOUND
      return "ファイルまたはフォルダが見つかりません";
    case 5:  // ERROR_ACCESS_DENIED
      return "アクセスが拒否されました";
    case 39:   // ERROR_HANDLE_DISK_FULL
    case 112:  // ERROR_DISK_FULL
      return "ディスクの空き容量が足りません";
    case 80:   // ERROR_FILE_EXISTS
    case 183:  // ERROR_ALREADY_EXISTS
      return "同じ名前のファイルまたはフォルダが既にあります";
    case 145:  // ERROR_DIR_NOT_EMPTY
      return "フォルダが空ではありません";
    case 19:  // ERROR_WRITE_PROTECT
      return "読み取り専用のドライブです";
    case 206:  // ERROR_FILENAME_EXCED_RANGE
      return "名前またはパスが長すぎます";
    case 32:  // ERROR_SHARING_VIOLATION
    case 33:  // ERROR_LOCK_VIOLATION
      return "ほかのプログラムが使用中です";
    case 4:  // ERROR_TOO_MANY_OPEN_FILES
      return "開いているファイルが多すぎます";
    case 8:   // ERROR_NOT_ENOUGH_MEMORY
    case 14:  // ERROR_OUTOFMEMORY
      return "メモリが足りません";
    case 17:  // ERROR_NOT_SAME_DEVICE
      return "別のドライブへは移動できません";
    case 21:  // ERROR_NOT_READY
      return "ドライブの準備ができていません";
    case 123:  // ERROR_INVALID_NAME
      return "このドライブでは使えない名前です";
    case 267:  // ERROR_DIRECTORY
      return "フォルダではありません";
#endif
    default:
      return nullptr;
  }
}

// The reason for an error without a text of its own: its number, then the system's
// text (`systemText`) for it.
inline constexpr const char* kReasonOtherSystemError = "システムエラー {number}（{text}）";

}  // namespace vesk
