// Integer and struct text formats of the profile store. Portable.
#include "core/settings/profile.h"

#include <vector>

namespace pelio {

namespace {

int DigitValue(wchar_t c) {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'A' && c <= L'Z') return c - L'A' + 10;
    if (c >= L'a' && c <= L'z') return c - L'a' + 10;
    return -1;
}

int HexValue(wchar_t c) {
    int v = DigitValue(c);
    return v < 16 ? v : -1;
}

}  // namespace

int ParseProfileInt(std::wstring_view text) {
    if (text.size() > kMaxProfileIntText) text = text.substr(0, kMaxProfileIntText);
    size_t i = 0;
    while (i < text.size() && static_cast<uint32_t>(text[i]) <= L' ') ++i;
    bool minus = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) minus = text[i++] == L'-';
    uint32_t base = 10;
    if (text.size() - i >= 2 && text[i] == L'0') {
        switch (text[i + 1]) {
        case L'x': base = 16; i += 2; break;
        case L'o': base = 8; i += 2; break;
        case L'b': base = 2; i += 2; break;
        default: break;
        }
    }
    uint32_t total = 0;
    for (; i < text.size(); ++i) {
        int digit = DigitValue(text[i]);
        if (digit < 0 || static_cast<uint32_t>(digit) >= base) break;
        total = total * base + static_cast<uint32_t>(digit);
    }
    if (minus) total = 0u - total;
    return static_cast<int>(total);
}

std::wstring EncodeProfileStruct(const void* data, size_t size) {
    static constexpr wchar_t kHex[] = L"0123456789ABCDEF";
    const auto* bytes = static_cast<const uint8_t*>(data);
    std::wstring out;
    out.reserve(size * 2 + 2);
    uint8_t sum = 0;
    auto put = [&](uint8_t b) {
        out.push_back(kHex[b >> 4]);
        out.push_back(kHex[b & 15]);
    };
    for (size_t i = 0; i < size; ++i) {
        put(bytes[i]);
        sum = static_cast<uint8_t>(sum + bytes[i]);
    }
    put(sum);
    return out;
}

bool DecodeProfileStruct(std::wstring_view text, void* data, size_t size) {
    if (text.size() != size * 2 + 2) return false;
    std::vector<uint8_t> bytes(size + 1);
    for (size_t i = 0; i <= size; ++i) {
        int hi = HexValue(text[2 * i]), lo = HexValue(text[2 * i + 1]);
        if (hi < 0 || lo < 0) return false;
        bytes[i] = static_cast<uint8_t>(hi << 4 | lo);
    }
    uint8_t sum = 0;
    for (size_t i = 0; i < size; ++i) sum = static_cast<uint8_t>(sum + bytes[i]);
    if (sum != bytes[size]) return false;
    auto* out = static_cast<uint8_t*>(data);
    for (size_t i = 0; i < size; ++i) out[i] = bytes[i];
    return true;
}

}  // namespace pelio
