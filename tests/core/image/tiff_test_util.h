// Building TIFF files tag by tag for the tests, in either byte order. Portable.
#pragma once
#include <cstdint>
#include <vector>

namespace pelio::test {

class TiffBuilder {
public:
    enum : uint16_t { kByte = 1, kAscii = 2, kShort = 3, kLong = 4, kRational = 5 };

    explicit TiffBuilder(bool bigEndian = false) : big_(bigEndian) {}

    // A field; RATIONAL values come as numerator, denominator pairs.
    TiffBuilder& Field(uint16_t tag, uint16_t type, std::vector<uint32_t> values) {
        fields_.push_back({tag, type, std::move(values), false});
        return *this;
    }
    // Strip offsets counted from the start of the pixel data, and their byte counts.
    TiffBuilder& Strips(std::vector<uint32_t> starts, std::vector<uint32_t> counts, uint16_t type = kLong) {
        fields_.push_back({273, type, std::move(starts), true});
        fields_.push_back({279, type, std::move(counts), false});
        return *this;
    }
    // Width, height, bits, photometric and one strip over all of `pixels`.
    TiffBuilder& Basic(uint32_t width, uint32_t height, std::vector<uint32_t> bits, uint32_t photometric,
                       std::vector<uint8_t> pixels) {
        Field(256, kLong, {width}).Field(257, kShort, {height});
        Field(258, kShort, std::move(bits));
        Field(259, kShort, {1}).Field(262, kShort, {photometric});
        pixels_ = std::move(pixels);
        return Strips({0}, {static_cast<uint32_t>(pixels_.size())});
    }
    TiffBuilder& Pixels(std::vector<uint8_t> pixels) {
        pixels_ = std::move(pixels);
        return *this;
    }

    std::vector<uint8_t> Build() const {
        std::vector<uint8_t> out = {static_cast<uint8_t>(big_ ? 'M' : 'I'), static_cast<uint8_t>(big_ ? 'M' : 'I')};
        Put16(out, 42);
        Put32(out, 8);
        const size_t ifdSize = 2 + 12 * fields_.size() + 4;
        // Out-of-line values after the IFD, then the pixels.
        size_t extraAt = 8 + ifdSize;
        size_t extraSize = 0;
        for (const auto& f : fields_) extraSize += Bytes(f) > 4 ? Bytes(f) : 0;
        const uint32_t pixelsAt = static_cast<uint32_t>(extraAt + extraSize);
        Put16(out, static_cast<uint32_t>(fields_.size()));
        std::vector<uint8_t> extra;
        for (const auto& f : fields_) {
            Put16(out, f.tag);
            Put16(out, f.type);
            Put32(out, static_cast<uint32_t>(f.type == kRational ? f.values.size() / 2 : f.values.size()));
            std::vector<uint8_t> value;
            for (uint32_t v : f.values) {
                if (f.relative) v += pixelsAt;
                if (f.type == kShort) Put16(value, v);
                else if (f.type == kByte || f.type == kAscii) value.push_back(static_cast<uint8_t>(v));
                else Put32(value, v);
            }
            if (value.size() > 4) {
                Put32(out, static_cast<uint32_t>(extraAt + extra.size()));
                extra.insert(extra.end(), value.begin(), value.end());
            } else {
                value.resize(4, 0);
                out.insert(out.end(), value.begin(), value.end());
            }
        }
        Put32(out, 0);
        out.insert(out.end(), extra.begin(), extra.end());
        out.insert(out.end(), pixels_.begin(), pixels_.end());
        return out;
    }

private:
    struct F {
        uint16_t tag, type;
        std::vector<uint32_t> values;
        bool relative;
    };
    static size_t Bytes(const F& f) {
        const size_t size = f.type == kShort ? 2 : f.type == kByte || f.type == kAscii ? 1 : 4;
        return size * f.values.size();
    }
    void Put16(std::vector<uint8_t>& v, uint32_t x) const {
        if (big_) v.insert(v.end(), {static_cast<uint8_t>(x >> 8), static_cast<uint8_t>(x)});
        else v.insert(v.end(), {static_cast<uint8_t>(x), static_cast<uint8_t>(x >> 8)});
    }
    void Put32(std::vector<uint8_t>& v, uint32_t x) const {
        for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (big_ ? 24 - 8 * i : 8 * i)));
    }

    bool big_;
    std::vector<F> fields_;
    std::vector<uint8_t> pixels_;
};

}  // namespace pelio::test
