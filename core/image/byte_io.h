// Bounded reading of file bytes and the byte sink encoders write to. Portable.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

namespace pelio {

enum class ByteOrder : uint8_t { Little, Big };

// Reads inside one span only, in the byte order it was made with: in turn from a position,
// or at an offset. Past the end a read yields zeros (an empty span) and sets a flag that
// stays set. Offsets are 64-bit so a file's offset never wraps on a 32-bit build.
class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> data, ByteOrder order = ByteOrder::Little)
        : data_(data), order_(order) {}

    size_t Position() const { return pos_; }
    size_t Size() const { return data_.size(); }
    size_t Remaining() const { return pos_ < data_.size() ? data_.size() - pos_ : 0; }
    ByteOrder Order() const { return order_; }
    bool Overrun() const { return overrun_; }
    // Whether `n` bytes at `at` lie inside, without touching the flag.
    bool Fits(uint64_t at, uint64_t n) const { return at <= data_.size() && n <= data_.size() - at; }

    void Seek(size_t pos) {
        if (pos > data_.size()) overrun_ = true;
        pos_ = pos;
    }
    void Skip(size_t n) {
        if (n > Remaining()) {
            overrun_ = true;
            pos_ = data_.size();
        } else {
            pos_ += n;
        }
    }

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
    uint16_t U16() {
        auto b = Take(2);
        return b.empty() ? 0 : Get16(b.data());
    }
    uint32_t U32() {
        auto b = Take(4);
        return b.empty() ? 0 : Get32(b.data());
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }

    // `n` bytes at `at`, or an empty span (and the flag) when they do not fit.
    std::span<const uint8_t> BytesAt(uint64_t at, uint64_t n) {
        if (!Fits(at, n)) {
            overrun_ = true;
            return {};
        }
        return data_.subspan(static_cast<size_t>(at), static_cast<size_t>(n));
    }
    uint8_t U8At(uint64_t at) {
        auto b = BytesAt(at, 1);
        return b.empty() ? 0 : b[0];
    }
    uint16_t U16At(uint64_t at) {
        auto b = BytesAt(at, 2);
        return b.empty() ? 0 : Get16(b.data());
    }
    uint32_t U32At(uint64_t at) {
        auto b = BytesAt(at, 4);
        return b.empty() ? 0 : Get32(b.data());
    }

private:
    uint16_t Get16(const uint8_t* p) const {
        return order_ == ByteOrder::Big ? static_cast<uint16_t>(p[0] << 8 | p[1])
                                        : static_cast<uint16_t>(p[1] << 8 | p[0]);
    }
    uint32_t Get32(const uint8_t* p) const {
        return order_ == ByteOrder::Big
                   ? uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3]
                   : uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
    }

    std::span<const uint8_t> data_;
    ByteOrder order_;
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
