// GIF reading: the block walk, frame checks and the composition of frames. Portable.
#include <algorithm>
#include <cstring>
#include <new>

#include "core/image/codec_error.h"
#include "core/image/gif_codec.h"

namespace pelio {

namespace {

constexpr uint8_t kExtensionIntroducer = 0x21;  // '!'
constexpr uint8_t kImageSeparator = 0x2C;       // ','
constexpr uint8_t kTrailer = 0x3B;              // ';'
constexpr uint8_t kPlainTextLabel = 0x01;
constexpr uint8_t kGraphicControlLabel = 0xF9;
constexpr uint8_t kCommentLabel = 0xFE;
constexpr uint8_t kApplicationLabel = 0xFF;
constexpr uint8_t kLoopExtension[] = {0x0B, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 0x03};

struct ColourTable {
    uint8_t rgb[768] = {};
    int bits = 0;
};

// Graphic control values, kept for the frame that follows.
struct FrameControl {
    bool transparent = false;
    int disposal = 0;
    int delay = 0;
    uint8_t transparentIndex = 0;
};

struct FrameRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool interlaced = false;
};

Palette PaletteOf(const ColourTable& table) {
    Palette p{};
    for (int i = 0; i < 256; ++i)
        p[i] = PaletteEntry{table.rgb[3 * i + 2], table.rgb[3 * i + 1], table.rgb[3 * i], 0};
    return p;
}

// Skips data sub-blocks up to and including the zero-length one.
bool SkipSubBlocks(ByteReader& r) {
    for (;;) {
        const uint8_t n = r.U8();
        if (r.Overrun()) return false;
        if (n == 0) return true;
        r.Skip(n);
        if (r.Overrun()) return false;
    }
}

// The frame row each stored row lands on: as stored, or through the four interlace passes.
void MapRows(int height, bool interlaced, std::vector<int>& rows) {
    rows.clear();
    if (!interlaced) {
        for (int y = 0; y < height; ++y) rows.push_back(y);
        return;
    }
    static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass]) rows.push_back(y);
}

class GifDecoder {
public:
    GifDecoder(std::span<const uint8_t> file, const LoadOptions& options, PixelAllocator& allocator,
               DecodeResult& result, GifAnimation* animation)
        : r_(file), options_(options), allocator_(allocator), result_(result), animation_(animation) {}

    int Run();

private:
    int ReadScreen();
    int ReadExtension();
    int ReadFrame();
    bool ReadTable(ColourTable& table, int bits);
    int JoinData();
    int ComposeFirst(const FrameRect& f, const ColourTable& active);
    int ComposeLater(const FrameRect& f, const ColourTable& active);
    const uint8_t* FrameRow(int storedRow) const { return indices_.data() + size_t(storedRow) * frameWidth_; }

    ByteReader r_;
    const LoadOptions& options_;
    PixelAllocator& allocator_;
    DecodeResult& result_;
    GifAnimation* animation_;

    int screenWidth_ = 0, screenHeight_ = 0;
    bool hasGlobal_ = false;
    uint8_t background_ = 0;
    ColourTable global_, local_;
    FrameControl control_;
    int frames_ = 0;
    int transparencies_ = 0;
    bool comment_ = false;
    bool animated_ = false;
    int loopCount_ = 0;
    std::vector<int> delays_;
    std::vector<uint8_t> data_, indices_;
    std::vector<int> rows_;
    size_t frameWidth_ = 0;
};

int GifDecoder::Run() {
    if (int e = ReadScreen()) return e;
    for (;;) {
        const uint8_t introducer = r_.U8();
        if (r_.Overrun()) return kCodecBadFile;
        if (introducer == kExtensionIntroducer) {
            if (int e = ReadExtension()) return e;
        } else if (introducer == kImageSeparator) {
            if (int e = ReadFrame()) return e;
            ++frames_;
            if (!animated_ || frames_ >= kGifMaxFrames) break;
        } else if (introducer == kTrailer) {
            if (frames_ == 0) return kCodecBadFile;
            break;
        } else {
            return kCodecReadFailed;
        }
    }
    result_.info.transparency = transparencies_ > 0;
    result_.info.comment = comment_;
    if (animation_) {
        animation_->animated = animated_;
        animation_->frameCount = frames_;
        animation_->loopCount = loopCount_;
        animation_->delays = delays_;
    }
    return kCodecOk;
}

int GifDecoder::ReadScreen() {
    auto head = r_.Take(13);
    if (head.empty() || std::memcmp(head.data(), "GIF", 3) != 0 ||
        (std::memcmp(head.data() + 3, "87a", 3) != 0 && std::memcmp(head.data() + 3, "89a", 3) != 0))
        return kCodecBadFile;
    screenWidth_ = head[6] | head[7] << 8;
    screenHeight_ = head[8] | head[9] << 8;
    if (screenWidth_ < 1 || screenWidth_ > kMaxImageSide || screenHeight_ < 1 ||
        screenHeight_ > kMaxImageSide)
        return kCodecUnsupported;
    const uint8_t packed = head[10];
    if (packed & 0x80) {
        hasGlobal_ = true;
        background_ = head[11];
        if (!ReadTable(global_, (packed & 7) + 1)) return kCodecBadFile;
    }
    return kCodecOk;
}

bool GifDecoder::ReadTable(ColourTable& table, int bits) {
    auto bytes = r_.Take(3 * (size_t{1} << bits));
    if (bytes.empty()) return false;
    std::memcpy(table.rgb, bytes.data(), bytes.size());
    table.bits = bits;
    return true;
}

int GifDecoder::ReadExtension() {
    const uint8_t label = r_.U8();
    if (r_.Overrun()) return kCodecBadFile;
    switch (label) {
    case kPlainTextLabel:
        break;
    case kGraphicControlLabel: {
        // Size byte, packed, delay, transparent index, terminator.
        const size_t at = r_.Position();
        auto block = r_.Take(6);
        if (block.empty()) return kCodecBadFile;
        control_.transparent = block[1] & 1;
        if (control_.transparent) ++transparencies_;
        control_.disposal = (block[1] >> 2) & 7;
        control_.delay = block[2] | block[3] << 8;
        control_.transparentIndex = block[4];
        r_.Seek(at);
        break;
    }
    case kCommentLabel:
        comment_ = true;
        break;
    case kApplicationLabel: {
        const size_t at = r_.Position();
        if (!animated_ && r_.Remaining() >= sizeof kLoopExtension + 3 &&
            std::memcmp(r_.Take(sizeof kLoopExtension).data(), kLoopExtension, sizeof kLoopExtension) == 0) {
            auto sub = r_.Take(3);
            loopCount_ = sub[1] | sub[2] << 8;
            animated_ = true;
        }
        r_.Seek(at);
        break;
    }
    default:
        return kCodecReadFailed;
    }
    return SkipSubBlocks(r_) ? kCodecOk : kCodecBadFile;
}

int GifDecoder::ReadFrame() {
    auto d = r_.Take(9);
    if (d.empty()) return kCodecBadFile;
    FrameRect f;
    f.left = d[0] | d[1] << 8;
    f.top = d[2] | d[3] << 8;
    f.width = d[4] | d[5] << 8;
    f.height = d[6] | d[7] << 8;
    const uint8_t packed = d[8];
    if (f.left + f.width > screenWidth_ || f.top + f.height > screenHeight_) return kCodecBadFile;
    const bool hasLocal = packed & 0x80;
    if (hasLocal) {
        local_ = ColourTable{};
        if (!ReadTable(local_, (packed & 7) + 1)) return kCodecBadFile;
    } else if (!hasGlobal_) {
        return kCodecBadFile;
    }
    f.interlaced = packed & 0x40;
    const ColourTable& active = hasLocal ? local_ : global_;

    const int minCodeSize = r_.U8();
    if (r_.Overrun() || minCodeSize < 2 || minCodeSize > 8) return kCodecBadFile;
    if (int e = JoinData()) return e;

    if (frames_ == 0) {
        result_.image.sourceBits = active.bits;
        result_.info.interlaced = f.interlaced;
    }
    const bool compose = frames_ == 0 || animation_ != nullptr;
    if (compose) {
        frameWidth_ = static_cast<size_t>(f.width);
        const size_t count = frameWidth_ * static_cast<size_t>(f.height);
        try {
            indices_.assign(count, 0);
        } catch (const std::bad_alloc&) {
            return kCodecNoMemory;
        }
        GifLzwDecode(data_, minCodeSize, indices_);
        MapRows(f.height, f.interlaced, rows_);
        if (int e = frames_ == 0 ? ComposeFirst(f, active) : ComposeLater(f, active)) return e;
    }
    delays_.push_back(control_.delay);
    control_.transparent = false;
    control_.transparentIndex = 0;
    return kCodecOk;
}

// Joins the image data sub-blocks into data_.
int GifDecoder::JoinData() {
    const size_t start = r_.Position();
    if (!SkipSubBlocks(r_)) return kCodecBadFile;
    const size_t stop = r_.Position();
    r_.Seek(start);
    try {
        data_.clear();
        data_.reserve(stop - start);
    } catch (const std::bad_alloc&) {
        return kCodecNoMemory;
    }
    for (;;) {
        const uint8_t n = r_.U8();
        if (n == 0) break;
        auto bytes = r_.Take(n);
        data_.insert(data_.end(), bytes.begin(), bytes.end());
    }
    return data_.empty() ? kCodecBadFile : kCodecOk;
}

int GifDecoder::ComposeFirst(const FrameRect& f, const ColourTable& active) {
    Image& image = result_.image;
    image.header = BitmapInfoHeader{};
    image.header.width = screenWidth_;
    image.header.height = screenHeight_;
    image.header.bitCount = 8;
    image.palette = PaletteOf(active);
    if (options_.alpha && control_.transparent) {
        const bool fromFile = options_.fileBackground && hasGlobal_;
        image.palette[control_.transparentIndex] =
            fromFile ? PaletteEntry{global_.rgb[3 * background_ + 2], global_.rgb[3 * background_ + 1],
                                    global_.rgb[3 * background_], 0}
                     : PaletteEntry{options_.background.blue, options_.background.green,
                                    options_.background.red, 0};
    }
    if (!allocator_.Allocate(image)) return kCodecNoMemory;
    const bool whole = f.width == screenWidth_ && f.height == screenHeight_;
    if (!whole && background_ != 0)
        for (int y = 0; y < screenHeight_; ++y) std::memset(image.Row(y), background_, size_t(screenWidth_));
    if (frameWidth_ == 0) return kCodecOk;
    for (int i = 0; i < f.height; ++i) {
        const int y = f.top + rows_[i];
        std::memcpy(image.Row(screenHeight_ - 1 - y) + f.left, FrameRow(i), frameWidth_);
    }
    return kCodecOk;
}

int GifDecoder::ComposeLater(const FrameRect& f, const ColourTable& active) {
    try {
        animation_->frames.reserve(animation_->frames.size() + 1);
    } catch (const std::bad_alloc&) {
        return kCodecNoMemory;
    }
    const Image& previous = animation_->frames.empty() ? result_.image : animation_->frames.back();
    Image frame;
    frame.header = previous.header;
    frame.palette = PaletteOf(active);
    frame.format = ImageFormat::Gif;
    frame.sourceBits = active.bits;
    if (!allocator_.Allocate(frame)) return kCodecNoMemory;
    animation_->frames.push_back(frame);
    const size_t width = static_cast<size_t>(screenWidth_);
    if (control_.disposal == 2) {
        for (int y = 0; y < screenHeight_; ++y) std::memset(frame.Row(y), background_, width);
    } else {
        std::memcpy(frame.bits, previous.bits, frame.PixelBytes());
    }
    if (frameWidth_ == 0) return kCodecOk;
    const bool transparent = control_.transparent;
    const uint8_t key = control_.transparentIndex;
    for (int i = 0; i < f.height; ++i) {
        const int y = screenHeight_ - 1 - (f.top + rows_[i]);
        uint8_t* dst = frame.Row(y) + f.left;
        const uint8_t* src = FrameRow(i);
        if (!transparent) {
            std::memcpy(dst, src, frameWidth_);
            continue;
        }
        const uint8_t* before = previous.Row(y) + f.left;
        for (size_t x = 0; x < frameWidth_; ++x) dst[x] = src[x] == key ? before[x] : src[x];
    }
    return kCodecOk;
}

}  // namespace

void ReleaseGifAnimation(GifAnimation& animation, PixelAllocator& allocator) {
    for (Image& frame : animation.frames)
        if (frame.bits) allocator.Release(frame);
    animation = GifAnimation{};
}

bool DecodeGifAnimation(std::span<const uint8_t> file, const LoadOptions& options,
                        PixelAllocator& allocator, DecodeResult& result, GifAnimation* animation) {
    if (animation) ReleaseGifAnimation(*animation, allocator);
    int error = kCodecOk;
    try {
        GifDecoder decoder(file, options, allocator, result, animation);
        error = decoder.Run();
    } catch (const std::bad_alloc&) {
        error = kCodecNoMemory;
    }
    if (error) {
        if (animation) ReleaseGifAnimation(*animation, allocator);
        if (result.image.bits) allocator.Release(result.image);
        result.error = error;
        return false;
    }
    result.error = kCodecOk;
    result.image.format = ImageFormat::Gif;
    result.image.fileSize = static_cast<int32_t>(std::min<size_t>(file.size(), INT32_MAX));
    return true;
}

bool DecodeGif(std::span<const uint8_t> file, const LoadOptions& options, PixelAllocator& allocator,
               DecodeResult& result) {
    return DecodeGifAnimation(file, options, allocator, result, nullptr);
}

}  // namespace pelio
