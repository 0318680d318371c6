// Plug-in pictures and texts. Portable.
#include "core/image/plugin_bitmap.h"

#include <algorithm>
#include <cstring>
#include <cwctype>
#include <new>

#include "core/image/bmp_codec.h"
#include "core/image/byte_io.h"

namespace pelio {

namespace {

constexpr size_t kInfoLimit = 1064;  // a 40-byte header and 256 palette entries

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return text;
}

bool BuiltInPattern(const std::wstring& pattern) {
    static const wchar_t* const kExtensions[] = {L".jpg", L".jpe", L".jpeg", L".png", L".gif", L".bmp", L".tif", L".tiff"};
    const size_t dot = pattern.rfind(L'.');
    if (dot == std::wstring::npos) return false;
    const std::wstring extension = pattern.substr(dot);
    for (const wchar_t* e : kExtensions)
        if (extension == e) return true;
    return false;
}

}  // namespace

bool DecodePluginBitmap(std::span<const uint8_t> info, std::span<const uint8_t> bits, PixelAllocator& allocator,
                        Image& image, int& bitCount) {
    if (info.size() < kBmpInfoHeaderSize) return false;
    ByteReader r(info);
    const uint32_t headerSize = r.U32();
    const int32_t width = r.I32(), height = r.I32();
    r.Skip(2);
    const uint16_t depth = r.U16();
    const uint32_t compression = r.U32();
    r.Skip(16);
    const uint32_t used = r.U32();
    if (compression != 0 || width < 1 || width > kMaxImageSide || height < 1 || height > kMaxImageSide) return false;
    if (depth != 1 && depth != 4 && depth != 8 && depth != 24) return false;

    // A packed bitmap as the BMP reader takes it: the header and palette as given (within the
    // limit), then exactly the picture's rows.
    const size_t paletteAt = headerSize >= kBmpInfoHeaderSize && headerSize <= 256 ? headerSize : kBmpInfoHeaderSize;
    const uint32_t entries = depth > 8 ? 0u : std::min<uint32_t>(used ? used : 1u << depth, 256);
    const size_t infoBytes = paletteAt + 4 * size_t(entries);
    const size_t pixelBytes = RowStride(width, depth) * size_t(height);
    std::vector<uint8_t> packed;
    try {
        packed.assign(infoBytes + pixelBytes, 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    std::memcpy(packed.data(), info.data(), std::min({info.size(), infoBytes, kInfoLimit}));
    PutU32LE(packed.data(), static_cast<uint32_t>(paletteAt));
    PutU32LE(packed.data() + 32, entries == (depth > 8 ? 0u : 1u << depth) ? 0u : entries);
    std::memcpy(packed.data() + infoBytes, bits.data(), std::min(bits.size(), pixelBytes));
    if (!DecodePackedBitmap(packed, allocator, image)) return false;
    image.format = ImageFormat::Unknown;
    bitCount = depth;
    return true;
}

void AddPluginPatterns(const std::wstring& text, std::vector<std::wstring>& list) {
    size_t start = 0;
    while (start <= text.size() && list.size() < kPluginListLimit) {
        const size_t end = std::min(text.find(L';', start), text.size());
        const std::wstring piece = Lower(text.substr(start, end - start));
        start = end + 1;
        if (piece.empty() || BuiltInPattern(piece)) continue;
        if (std::find(list.begin(), list.end(), piece) == list.end()) list.push_back(piece);
    }
}

PluginDescription DescribePlugin(const std::vector<std::wstring>& texts) {
    PluginDescription d;
    if (texts.size() < 2 || texts[0].empty() || texts[1].empty()) return d;
    d.patterns = texts[0];
    d.descriptions = texts[1];
    for (size_t i = 2; i + 1 < texts.size(); i += 2) {
        const std::wstring patterns = d.patterns + L";" + texts[i];
        const std::wstring descriptions = d.descriptions + L"/" + texts[i + 1];
        if (patterns.size() >= 260 || descriptions.size() >= 260) break;
        d.patterns = patterns;
        d.descriptions = descriptions;
    }
    return d;
}

}  // namespace pelio
