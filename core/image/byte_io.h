// Bounded reading of file bytes and the byte sink encoders write to. Portable.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

namespace pelio {

// Reads inside one span only. Past the end it yields zeros and sets a flag that stays set.
class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> data) : data_(data) {}

    size_t Position() const { return pos_; }
    size_t Size() const { return data_.size(); }
    size_t Remaining() const { return pos_ < data_.size() ? data_.size() - pos_ : 0; }
    bool Overrun() const { return overrun_; }

    void Seek(size_t pos) {
        if (pos > data_.size()) overrun_ = true;
        pos_ = pos;
    }
    void Skip(size_t n) { Seek(n > Remaining() ? data_.size() + 1 : pos_ + n); }

    // The next `n` bytes, or an empty span (and the flag) when fewer remain.
    std::span<const uint8_t> Take(size_t n) {
        if (n > Remaining()) {
            overrun_ = true;
            pos_ = data_.size();
            return {};
        }
        auto out = data_.subspan(pos_, n);
        pos_ += n;
        return out;
    }
    uint8_t U8() {
        auto b = Take(1);
        return b.empty() ? 0 : b[0];
    }
    uint16_t U16LE() {
        auto b = Take(2);
        return b.empty() ? 0 : static_cast<uint16_t>(b[0] | b[1] << 8);
    }
    uint32_t U32LE() {
        auto b = Take(4);
        return b.empty() ? 0
                         : uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 |
                               uint32_t{b[3]} << 24;
    }
    uint16_t U16BE() {
        auto b = Take(2);
        return b.empty() ? 0 : static_cast<uint16_t>(b[0] << 8 | b[1]);
    }
    uint32_t U32BE() {
        auto b = Take(4);
        return b.empty() ? 0
                         : uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 |
                               uint32_t{b[3]};
    }
    int32_t I32LE() { return static_cast<int32_t>(U32LE()); }

private:
    std::span<const uint8_t> data_;
    size_t pos_ = 0;
    bool overrun_ = false;
};

// Where an encoder's bytes go: a file in the shell, memory in tools and tests.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool Write(const void* data, size_t size) = 0;
};

class VectorSink final : public ByteSink {
public:
    bool Write(const void* data, size_t size) override {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes.insert(bytes.end(), p, p + size);
        return true;
    }
    std::vector<uint8_t> bytes;
};

// Little-endian field writers for headers built in memory.
inline void PutU16LE(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void PutU32LE(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// a × b when it fits in size_t.
inline std::optional<size_t> CheckedMul(size_t a, size_t b) {
    if (a != 0 && b > SIZE_MAX / a) return std::nullopt;
    return a * b;
}

}  // namespace pelio
