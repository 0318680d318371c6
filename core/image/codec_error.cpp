// Codec error messages. Portable.
#include "core/image/codec_error.h"

#include <iterator>

namespace pelio {

const wchar_t* CodecErrorMessage(int code) {
    static constexpr const wchar_t* kMessages[] = {
        nullptr,
        L"メモリを確保できません。",
        L"未対応の形式です。",
        L"コメントを編集できません。",
        L"ファイルから読み取りに失敗しました。",
        L"ファイル作成に失敗しました。",
        L"ファイル情報が不適切です。",
        L"画像の保存に失敗しました。",
        L"PNG形式を識別できません。",
        L"ファイル情報が不適切です。(CRC)",
        L"ファイル情報が不適切です。(Length/Chunk)",
        L"ファイル情報が不適切です。(Length/IHDR)",
        L"ファイル情報が不適切です。(Chunk Type/IHDR)",
        L"ファイル情報が不適切です。(Width,Height/IHDR)",
        L"ファイル情報が不適切です。(Color type/IHDR)",
        L"ファイル情報が不適切です。(Bit depth/IHDR)",
        L"ファイル情報が不適切です。(Compression method/IHDR)",
        L"ファイル情報が不適切です。(Filter method/IHDR)",
        L"ファイル情報が不適切です。(Interlace method/IHDR)",
        L"ファイル情報が不適切です。(Length/PLTE)",
        L"ファイル情報が不適切です。(Order/Chunk)",
        L"ファイル情報が不適切です。(Critical chunks)",
        L"ファイル情報が不適切です。(Length/IDAT)",
        L"画像の表示に失敗しました。(zlib)",
        L"ファイルへの保存に失敗しました。(zlib)",
    };
    if (code < 0 || code >= static_cast<int>(std::size(kMessages))) return nullptr;
    return kMessages[code];
}

}  // namespace pelio
