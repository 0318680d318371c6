// General error message table. Portable.
#include "core/commands/messages.h"

#include <iterator>

namespace pelio {

const wchar_t* GeneralErrorText(int index) {
    static constexpr const wchar_t* kTexts[] = {
        L"メモリ確保に失敗しました。",
        L"データ読み取りに失敗しました。",
        L"画像の表示に失敗しました。",
        L"ファイルが変更されています。\nこのコマンドは実行できません。",
        L"コマンドを実行できません。",
        L"一時ファイル作成に失敗しました。",
        L"一時ファイル削除に失敗しました。",
        L"ファイル作成に失敗しました。",
        L"ファイル実行に失敗しました。",
        L"ファイル削除に失敗しました。",
        L"印刷プレビューに失敗しました。",
        L"印刷実行に失敗しました。",
        L"履歴の保存に失敗しました。",
        L"履歴の実行に失敗しました。",
    };
    if (index < 0 || index >= static_cast<int>(std::size(kTexts))) return kErrorCaption;
    return kTexts[index];
}

}  // namespace pelio
