// Slot names, offered keys and the three key table operations. Portable.
#include "core/commands/key_assignment.h"

#include <array>

namespace pelio {

namespace {

// One name per slot of the accelerator table, in the table's order.
constexpr std::array<const wchar_t*, kAccelCount> kSlotNames = {
    L"ファイル - 開く",
    L"ファイル - 開き直す",
    L"ファイル - 名前を付けて保存",
    L"ファイル - コピー",
    L"ファイル - 貼り付け",
    L"ファイル - 削除",
    L"ファイル - コメント表示/編集",
    L"ファイル - テキストデータ表示",
    L"ファイル - 壁紙に設定",
    L"ファイル - 印刷(プレビュー)",
    L"イメージ - 変形 - トリミング",
    L"イメージ - 変形 - リサイズ",
    L"イメージ - 変形 - 余白付加",
    L"イメージ - 変形 - 任意角度回転",
    L"イメージ - 変形 - 90度回転",
    L"イメージ - 変形 - 180度回転",
    L"イメージ - 変形 - 270度回転",
    L"イメージ - 変形 - 左右反転",
    L"イメージ - 変形 - 上下反転",
    L"イメージ - 画質補正 - ヒストグラム補正",
    L"イメージ - 画質補正 - ガンマ補正",
    L"イメージ - 画質補正 - 明るさ補正",
    L"イメージ - 画質補正 - コントラスト",
    L"イメージ - 画質補正 - 色相/彩度",
    L"イメージ - 画質補正 - 階調反転",
    L"イメージ - 画質補正 - アンシャープマスク",
    L"イメージ - 画質補正 - ぼかし",
    L"イメージ - 画質補正 - ソフトフォーカス",
    L"イメージ - ヒストグラム表示",
    L"イメージ - 使用色数確認",
    L"ビュー - 画面に合わせて表示",
    L"ビュー - 等倍表示<100%>",
    L"ビュー - 拡大表示",
    L"ビュー - 縮小表示",
    L"ビュー - スライドショー",
    L"ウィンドウ - ウィンドウ切替",
    L"ウィンドウ - ファイルリスト表示",
    L"ウィンドウ - 常に手前に表示",
    L"ウィンドウ - 中央に移動",
    L"ウィンドウ - タイトルバー",
    L"ウィンドウ - ウィンドウ枠",
    L"ウィンドウ - ツールバー",
    L"ウィンドウ - 背景色 - 白",
    L"ウィンドウ - 背景色 - ライトグレイ",
    L"ウィンドウ - 背景色 - グレイ",
    L"ウィンドウ - 背景色 - ダークグレイ",
    L"ウィンドウ - 背景色 - 黒",
    L"ツール - オプション",
    L"ツール - 登録ツール1",
    L"ツール - 登録ツール2",
    L"ツール - 登録ツール3",
    L"ツール - 登録ツール4",
    L"ツール - 登録ツール5",
    L"ツール - 登録ツール6",
    L"ツール - 登録ツール7",
    L"ツール - 登録ツール8",
    L"ヘルプ - ヘルプ表示",
    L"ヘルプ - 主なマウス操作",
    L"ヘルプ - バージョン情報",
    L"全画面表示切替",
    L"最小化",
    L"終了(メインウィンドウのみ)",
    L"表示倍率切替(等倍⇔画面サイズ)",
    L"拡大表示(10%)",
    L"縮小表示(10%)",
    L"1000%表示",
    L"400%表示",
    L"200%表示",
    L"50%表示",
    L"25%表示",
    L"10%表示",
    L"先頭へ(ファイル閲覧)",
    L"戻る(ファイル閲覧)",
    L"進む(ファイル閲覧)",
    L"末尾へ(ファイル閲覧)",
    L"スクロール(左へ)",
    L"スクロール(右へ)",
    L"スクロール(上へ)",
    L"スクロール(下へ)",
    L"スクロールバー表示",
    L"プレビュー",
    L"並べて表示",
    L"元の画像(ウィンドウ1)",
    L"プレビュー画像(ウィンドウ2)",
};

struct KeyList {
    std::array<uint16_t, kOfferedKeyCount> keys{};
    int count = 0;
};

constexpr KeyList BuildOfferedKeys() {
    KeyList list;
    auto& keys = list.keys;
    int& n = list.count;
    // BackSpace, Tab, Enter, Esc, Space, PageUp, PageDown, End, Home, the arrows, Insert, Delete.
    for (uint16_t k : {8, 9, 13, 27, 32, 33, 34, 35, 36, 37, 38, 39, 40, 45, 46}) keys[n++] = k;
    for (uint16_t k : {186, 187, 188, 189, 190, 191, 192, 219, 220, 221, 222, 226}) keys[n++] = k;
    for (uint16_t k = '0'; k <= '9'; ++k) keys[n++] = k;
    for (uint16_t k = 'A'; k <= 'Z'; ++k) keys[n++] = k;
    for (uint16_t k = 112; k <= 123; ++k) keys[n++] = k;  // F1 … F12
    for (uint16_t k = 96; k <= 107; ++k) keys[n++] = k;   // [Num] 0 … 9, *, +
    for (uint16_t k = 109; k <= 111; ++k) keys[n++] = k;  // [Num] -, ., /
    return list;
}

constexpr KeyList kOffered = BuildOfferedKeys();
static_assert(kOffered.count == kOfferedKeyCount);

constexpr uint8_t kModifiers = kAccelControl | kAccelShift;

bool IsSlot(int slot) { return slot >= 0 && slot < kAccelCount; }

}  // namespace

std::span<const wchar_t* const, kAccelCount> SlotNames() { return kSlotNames; }

std::span<const uint16_t, kOfferedKeyCount> OfferedKeys() { return kOffered.keys; }

AssignOutcome AssignKey(AccelTable& table, int slot, unsigned key, bool ctrl, bool shift) {
    if (!IsSlot(slot)) return AssignOutcome::NoSlot;
    if (key == 0 || key > 255) return AssignOutcome::NoKey;
    const uint8_t flags = kAccelVirtKey | (ctrl ? kAccelControl : 0) | (shift ? kAccelShift : 0);
    for (const Accel& a : table)
        if (a.key == key && (a.flags & kModifiers) == (flags & kModifiers)) return AssignOutcome::InUse;
    table[slot].key = static_cast<uint16_t>(key);
    table[slot].flags = flags;
    return AssignOutcome::Assigned;
}

bool RemoveKey(AccelTable& table, int slot) {
    if (!IsSlot(slot)) return false;
    table[slot].key = 0;
    table[slot].flags = kAccelVirtKey;
    return true;
}

void ResetKeys(AccelTable& table) { table = DefaultAccelerators(); }

}  // namespace pelio
