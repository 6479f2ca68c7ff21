#pragma once

// The platform's own message texts. They are part of the program's behaviour: the error box shows
// them, and they are Shift_JIS bytes (the sources are compiled with -fexec-charset=CP932).
namespace zinnow::messages {

inline constexpr char kInvalidClipboardFormat[] = "無効なｸﾘｯﾌﾟﾎﾞｰﾄﾞ ﾌｫｰﾏｯﾄです";
inline constexpr char kUnsupportedClipboardData[] = "未対応のｸﾘｯﾌﾟﾎﾞｰﾄﾞ ﾃﾞｰﾀです";
inline constexpr char kInvalidBitmapImage[] = "ﾋﾞｯﾄﾏｯﾌﾟｲﾒｰｼﾞが不正です";
inline constexpr char kOutOfResources[] = "ｼｽﾃﾑ ﾘｿｰｽが足りません";
inline constexpr char kCannotCreateFile[] = "ﾌｧｲﾙ %s を作成できません";
inline constexpr char kStreamWriteError[] = "ｽﾄﾘｰﾑへの書き込みｴﾗｰ";
inline constexpr char kCannotDrawOnCanvas[] = "Canvas に対する描画ができません";
inline constexpr char kNoTimers[] = "ﾀｲﾏｰを取得できません";
inline constexpr char kCannotInsertLine[] = "行を挿入できません";

}  // namespace zinnow::messages
