// SPDX-License-Identifier: GPL-3.0-or-later
// The page's own words, beside the desktop's texts it shares (web/words.js): kept here,
// where the translation tools read every text of the game, so that translations/ holds
// their English as it holds the desktop's. The page's build refuses a text of the page
// that the translations do not hold.
#include "platform/message.h"

namespace web {

extern const char* const kPageWords[];
const char* const kPageWords[] = {
    VELCOR_TEXT("WebPage", "閉じる"),
    VELCOR_TEXT("WebPage", "ｾｰﾌﾞがありません"),
    VELCOR_TEXT("WebPage", "ｾｰﾌﾞをﾀﾞｳﾝﾛｰﾄﾞ(&D)"),
    VELCOR_TEXT("WebPage", "記録をﾀﾞｳﾝﾛｰﾄﾞ(&R)"),
    VELCOR_TEXT("WebPage", "ﾊﾞﾝﾄﾞﾙをﾀﾞｳﾝﾛｰﾄﾞ(&B)"),
    VELCOR_TEXT("WebPage", "ﾌｧｲﾙを開く(&O)..."),
    VELCOR_TEXT("WebPage", "ﾌﾞﾗｳｻﾞの保存領域がいっぱいです"),
    VELCOR_TEXT("WebPage", "ﾌﾞﾗｳｻﾞに保存できません"),
    VELCOR_TEXT("WebPage", "ほかのﾀﾌﾞのｹﾞｰﾑが自動ｾｰﾌﾞを使っているため、このﾀﾌﾞでは自動ｾｰﾌﾞしません"),
    VELCOR_TEXT("WebPage", "国の一覧"),
    VELCOR_TEXT("WebPage", "隣国: %1"),
    VELCOR_TEXT("WebPage", "お知らせ"),
    VELCOR_TEXT("WebPage", "ﾊｲｺﾝﾄﾗｽﾄ(&H)"),
    VELCOR_TEXT("WebPage", "国の一覧へ移る"),
    VELCOR_TEXT("WebPage", "最後のお知らせを繰り返す"),
    VELCOR_TEXT("WebPage", "最後の戦いの経過を聞く"),
};

} // namespace web
