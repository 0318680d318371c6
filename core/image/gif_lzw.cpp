// The LZW coder of GIF image data, both directions. Portable.
#include <cstring>
#include <memory>

#include "core/image/gif_codec.h"

namespace pelio {

namespace {

constexpr uint32_t kMaxCodes = 4096;
constexpr int kMaxWidth = 12;

}  // namespace

size_t GifLzwDecode(std::span<const uint8_t> data, int minCodeSize, std::span<uint8_t> out) {
    if (minCodeSize < 2 || minCodeSize > 8 || out.empty()) return 0;
    // Each code's string is a back-linked chain: its last byte, the code before it, its first
    // byte and its length, so a string is written from its end without a stack.
    uint16_t prefix[kMaxCodes];
    uint8_t suffix[kMaxCodes];
    uint8_t first[kMaxCodes];
    uint16_t length[kMaxCodes];
    const uint32_t clear = 1u << minCodeSize, end = clear + 1;
    for (uint32_t i = 0; i < clear; ++i) {
        prefix[i] = 0;
        suffix[i] = first[i] = static_cast<uint8_t>(i);
        length[i] = 1;
    }
    int width = minCodeSize + 1;
    uint32_t mask = (1u << width) - 1;
    uint32_t nextCode = clear + 2;
    int32_t prev = -1;

    const uint8_t* in = data.data();
    const size_t inSize = data.size();
    size_t inPos = 0;
    uint64_t acc = 0;
    int accBits = 0;
    uint8_t* const o = out.data();
    const size_t total = out.size();
    size_t pos = 0;

    for (;;) {
        if (accBits < width) {
            while (accBits <= 56 && inPos < inSize) {
                acc |= uint64_t{in[inPos++]} << accBits;
                accBits += 8;
            }
            if (accBits < width) break;
        }
        const uint32_t code = static_cast<uint32_t>(acc) & mask;
        acc >>= width;
        accBits -= width;

        if (code == clear) {
            width = minCodeSize + 1;
            mask = (1u << width) - 1;
            nextCode = clear + 2;
            prev = -1;
            continue;
        }
        if (code == end) break;
        if (prev < 0) {
            if (code > clear) break;  // nothing defined yet
            o[pos++] = static_cast<uint8_t>(code);
            prev = static_cast<int32_t>(code);
            if (pos == total) break;
            continue;
        }
        if (code > nextCode || (code == nextCode && nextCode == kMaxCodes)) break;
        if (nextCode < kMaxCodes) {
            // The new entry: the previous string plus the first byte of this one (which, for
            // the code being defined, is the previous string's first byte).
            const uint8_t head = code == nextCode ? first[prev] : first[code];
            prefix[nextCode] = static_cast<uint16_t>(prev);
            suffix[nextCode] = head;
            first[nextCode] = first[prev];
            length[nextCode] = static_cast<uint16_t>(length[prev] + 1);
            ++nextCode;
            if (nextCode > mask && width < kMaxWidth) {
                ++width;
                mask = (1u << width) - 1;
            }
        }
        // Write the string backwards from its last byte; a tail beyond the buffer is dropped.
        uint32_t c = code;
        size_t len = length[c];
        size_t last = pos + len - 1;
        while (last >= total) {
            c = prefix[c];
            --last;
        }
        uint8_t* p = o + last;
        while (p > o + pos) {
            *p-- = suffix[c];
            c = prefix[c];
        }
        *p = suffix[c];
        pos += len;
        prev = static_cast<int32_t>(code);
        if (pos >= total) {
            pos = total;
            break;
        }
    }
    return pos;
}

namespace {

// Packs codes least-significant bit first.
class CodeWriter {
public:
    explicit CodeWriter(std::vector<uint8_t>& out) : out_(out) {}
    void Put(uint32_t code, int width) {
        acc_ |= uint64_t{code} << bits_;
        bits_ += width;
        while (bits_ >= 8) {
            out_.push_back(static_cast<uint8_t>(acc_));
            acc_ >>= 8;
            bits_ -= 8;
        }
    }
    void Flush() {
        if (bits_ > 0) out_.push_back(static_cast<uint8_t>(acc_));
        acc_ = 0;
        bits_ = 0;
    }

private:
    std::vector<uint8_t>& out_;
    uint64_t acc_ = 0;
    int bits_ = 0;
};

// The dictionary: strings keyed by their code without the last byte and that byte, found
// through a hash with chained entries.
class Dictionary {
public:
    static constexpr uint32_t kHashSize = 8192;
    static constexpr uint16_t kNone = 0xFFFF;

    void Reset() { std::memset(heads_, 0xFF, sizeof heads_); }
    static uint32_t Hash(uint32_t prefix, uint8_t byte) {
        return ((prefix << 8 | byte) * 2654435761u) >> 19;  // 13 bits
    }
    int32_t Find(uint32_t prefix, uint8_t byte) const {
        for (uint16_t e = heads_[Hash(prefix, byte)]; e != kNone; e = next_[e])
            if (keys_[e] == (prefix << 8 | byte)) return e;
        return -1;
    }
    void Add(uint32_t code, uint32_t prefix, uint8_t byte) {
        const uint32_t h = Hash(prefix, byte);
        keys_[code] = prefix << 8 | byte;
        next_[code] = heads_[h];
        heads_[h] = static_cast<uint16_t>(code);
    }

private:
    uint16_t heads_[kHashSize];
    uint16_t next_[kMaxCodes];
    uint32_t keys_[kMaxCodes];
};

}  // namespace

void GifLzwEncode(std::span<const uint8_t> pixels, int minCodeSize, std::vector<uint8_t>& out) {
    const uint32_t clear = 1u << minCodeSize, end = clear + 1;
    CodeWriter writer(out);
    auto dictionary = std::make_unique<Dictionary>();
    dictionary->Reset();
    int width = minCodeSize + 1;
    uint32_t nextCode = clear + 2;
    writer.Put(clear, width);
    if (pixels.empty()) {
        writer.Put(end, width);
        writer.Flush();
        return;
    }
    const uint32_t pixelMask = clear - 1;
    uint32_t current = pixels[0] & pixelMask;
    for (size_t i = 1; i < pixels.size(); ++i) {
        const uint8_t byte = static_cast<uint8_t>(pixels[i] & pixelMask);
        const int32_t found = dictionary->Find(current, byte);
        if (found >= 0) {
            current = static_cast<uint32_t>(found);
            continue;
        }
        writer.Put(current, width);
        // The reader defines each entry one code later than here, so the width grows one
        // entry later too.
        if (nextCode == kMaxCodes - 1) {
            writer.Put(clear, width);
            dictionary->Reset();
            width = minCodeSize + 1;
            nextCode = clear + 2;
        } else {
            dictionary->Add(nextCode, current, byte);
            ++nextCode;
            if (nextCode > (1u << width) && width < kMaxWidth) ++width;
        }
        current = byte;
    }
    writer.Put(current, width);
    // The reader defines one more entry on reading that code, and widens its codes when that
    // entry fills the width.
    if (nextCode == (1u << width) && width < kMaxWidth) ++width;
    writer.Put(end, width);
    writer.Flush();
}

}  // namespace pelio
