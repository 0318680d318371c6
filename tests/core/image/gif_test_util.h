// Building GIF files block by block for the tests. Portable.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/image/gif_codec.h"

namespace pelio::test {

class GifBuilder {
public:
    std::vector<uint8_t> bytes;

    // Header and screen; `globalBits` 0 for no global table. Entry i is (i, 255 - i, i / 2).
    GifBuilder& Screen(int width, int height, int globalBits, uint8_t background = 0,
                       const char* version = "89a") {
        Append("GIF");
        Append(version);
        U16(width);
        U16(height);
        bytes.push_back(globalBits ? static_cast<uint8_t>(0x80 | (globalBits - 1)) : 0);
        bytes.push_back(background);
        bytes.push_back(0);
        if (globalBits) Table(globalBits, 0);
        return *this;
    }
    // Entry i of a table with `shift`: (i + shift, 255 - i, i / 2).
    void Table(int bits, int shift) {
        for (int i = 0; i < (1 << bits); ++i) {
            bytes.push_back(static_cast<uint8_t>(i + shift));
            bytes.push_back(static_cast<uint8_t>(255 - i));
            bytes.push_back(static_cast<uint8_t>(i / 2));
        }
    }
    GifBuilder& Loop(int count) {
        bytes.insert(bytes.end(), {0x21, 0xFF, 0x0B});
        Append("NETSCAPE2.0");
        bytes.insert(bytes.end(), {0x03, 0x01});
        U16(count);
        bytes.push_back(0);
        return *this;
    }
    GifBuilder& Control(bool transparent, int transparentIndex, int disposal = 0, int delay = 0) {
        bytes.insert(bytes.end(), {0x21, 0xF9, 0x04});
        bytes.push_back(static_cast<uint8_t>((disposal & 7) << 2 | (transparent ? 1 : 0)));
        U16(delay);
        bytes.push_back(static_cast<uint8_t>(transparentIndex));
        bytes.push_back(0);
        return *this;
    }
    GifBuilder& Comment(const std::string& text) {
        bytes.insert(bytes.end(), {0x21, 0xFE, static_cast<uint8_t>(text.size())});
        Append(text.c_str());
        bytes.push_back(0);
        return *this;
    }
    // A frame whose `pixels` are in picture row order; `localBits` 0 for none, else its table
    // is shifted by `localShift`.
    GifBuilder& Frame(int left, int top, int width, int height, const std::vector<uint8_t>& pixels,
                      int localBits = 0, bool interlaced = false, int codeSize = 8,
                      int localShift = 100) {
        bytes.push_back(',');
        U16(left);
        U16(top);
        U16(width);
        U16(height);
        uint8_t packed = interlaced ? 0x40 : 0;
        if (localBits) packed |= static_cast<uint8_t>(0x80 | (localBits - 1));
        bytes.push_back(packed);
        if (localBits) Table(localBits, localShift);
        std::vector<uint8_t> stored;
        static const int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
        for (int pass = 0; pass < (interlaced ? 4 : 1); ++pass)
            for (int y = interlaced ? kStart[pass] : 0; y < height; y += interlaced ? kStep[pass] : 1)
                stored.insert(stored.end(), pixels.begin() + y * width, pixels.begin() + (y + 1) * width);
        bytes.push_back(static_cast<uint8_t>(codeSize));
        std::vector<uint8_t> data;
        GifLzwEncode(stored, codeSize, data);
        SubBlocks(data);
        return *this;
    }
    void SubBlocks(const std::vector<uint8_t>& data) {
        for (size_t at = 0; at < data.size(); at += 255) {
            size_t n = std::min<size_t>(255, data.size() - at);
            bytes.push_back(static_cast<uint8_t>(n));
            bytes.insert(bytes.end(), data.begin() + at, data.begin() + at + n);
        }
        bytes.push_back(0);
    }
    GifBuilder& Trailer() {
        bytes.push_back(';');
        return *this;
    }
    void Append(const char* s) {
        while (*s) bytes.push_back(static_cast<uint8_t>(*s++));
    }
    void U16(int v) {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
    }
};

}  // namespace pelio::test
