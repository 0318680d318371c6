// The GIF codec against giflib: giflib's frames composed by the same rules must give our
// indices and palettes, and giflib must read our files as the pixels we wrote.
#include <gtest/gtest.h>
#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "core/image/colour_engine.h"
#include "core/image/gif_codec.h"

namespace pelio {
namespace {

namespace fs = std::filesystem;

struct Memory {
    const std::vector<uint8_t>* bytes;
    size_t at = 0;
};

int ReadMemory(GifFileType* gif, GifByteType* out, int n) {
    auto* m = static_cast<Memory*>(gif->UserData);
    const size_t take = std::min<size_t>(size_t(n), m->bytes->size() - m->at);
    std::memcpy(out, m->bytes->data() + m->at, take);
    m->at += take;
    return static_cast<int>(take);
}

// giflib's slurped file, closed at the end.
struct Slurped {
    Memory memory;
    GifFileType* gif = nullptr;
    bool ok = false;
    explicit Slurped(const std::vector<uint8_t>& bytes) : memory{&bytes} {
        int error = 0;
        gif = DGifOpen(&memory, ReadMemory, &error);
        ok = gif && DGifSlurp(gif) == GIF_OK;
    }
    ~Slurped() {
        int error = 0;
        if (gif) DGifCloseFile(gif, &error);
    }
};

// One composed frame: top-down indices and a palette.
struct RefFrame {
    std::vector<uint8_t> indices;
    Palette palette{};
};

struct Reference {
    std::vector<RefFrame> frames;
    int loopCount = 0;
    bool animated = false;
    int sourceBits = 0;
};

Palette PaletteOf(const ColorMapObject* map) {
    Palette p{};
    for (int i = 0; map && i < map->ColorCount && i < 256; ++i)
        p[i] = PaletteEntry{map->Colors[i].Blue, map->Colors[i].Green, map->Colors[i].Red, 0};
    return p;
}

bool IsLoopExtension(const ExtensionBlock* blocks, int count, int i, int& loops) {
    if (blocks[i].Function != APPLICATION_EXT_FUNC_CODE || blocks[i].ByteCount != 11 ||
        std::memcmp(blocks[i].Bytes, "NETSCAPE2.0", 11) != 0 || i + 1 >= count ||
        blocks[i + 1].Function != CONTINUE_EXT_FUNC_CODE || blocks[i + 1].ByteCount != 3)
        return false;
    loops = blocks[i + 1].Bytes[1] | blocks[i + 1].Bytes[2] << 8;
    return true;
}

// The composition rules applied to giflib's decoded frames (default load options).
Reference Compose(const GifFileType* gif) {
    Reference ref;
    const int w = gif->SWidth, h = gif->SHeight;
    const uint8_t background = gif->SColorMap ? uint8_t(gif->SBackGroundColor) : 0;
    bool transparent = false;
    int transparentIndex = 0, disposal = 0;
    for (int n = 0; n < gif->ImageCount && n < kGifMaxFrames; ++n) {
        const SavedImage& image = gif->SavedImages[n];
        for (int i = 0; i < image.ExtensionBlockCount; ++i) {
            const ExtensionBlock& e = image.ExtensionBlocks[i];
            if (e.Function == GRAPHICS_EXT_FUNC_CODE && e.ByteCount >= 4) {
                transparent = e.Bytes[0] & 1;
                disposal = (e.Bytes[0] >> 2) & 7;
                transparentIndex = e.Bytes[3];
            }
            int loops = 0;
            if (!ref.animated && IsLoopExtension(image.ExtensionBlocks, image.ExtensionBlockCount, i, loops)) {
                ref.animated = true;
                ref.loopCount = loops;
            }
        }
        const GifImageDesc& d = image.ImageDesc;
        const ColorMapObject* map = d.ColorMap ? d.ColorMap : gif->SColorMap;
        RefFrame frame;
        frame.palette = PaletteOf(map);
        frame.indices.assign(size_t(w) * h, background);
        if (n == 0) {
            ref.sourceBits = map->BitsPerPixel;
            if (transparent)
                frame.palette[transparentIndex] = gif->SColorMap ? PaletteOf(gif->SColorMap)[background]
                                                                 : PaletteEntry{255, 255, 255, 0};
        } else if (disposal != 2) {
            frame.indices = ref.frames.back().indices;
        }
        for (int y = 0; y < d.Height; ++y)
            for (int x = 0; x < d.Width; ++x) {
                const uint8_t v = image.RasterBits[size_t(y) * d.Width + x];
                const size_t at = size_t(d.Top + y) * w + d.Left + x;
                frame.indices[at] = n > 0 && transparent && v == transparentIndex ? ref.frames.back().indices[at] : v;
            }
        ref.frames.push_back(frame);
        transparent = false;
        transparentIndex = 0;
        if (!ref.animated) break;
    }
    return ref;
}

std::vector<uint8_t> TopDown(const Image& image) {
    std::vector<uint8_t> out;
    for (int y = image.Height() - 1; y >= 0; --y) out.insert(out.end(), image.Row(y), image.Row(y) + image.Width());
    return out;
}

std::vector<uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(GifGiflib, FramesComposeAsGiflibsDecodedFrames) {
    const fs::path dir = PELIO_TESTDATA_DIR "/gif";
    if (!fs::is_directory(dir)) GTEST_SKIP() << "no GIF test files in " << dir;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(dir)) {
        if (entry.path().extension() != ".gif") continue;
        const auto bytes = ReadAll(entry.path());
        const std::string name = entry.path().filename().string();
        Slurped slurped(bytes);
        ASSERT_TRUE(slurped.ok) << name;
        const Reference ref = Compose(slurped.gif);
        MemoryAllocator allocator;
        DecodeResult result;
        GifAnimation animation;
        ASSERT_TRUE(DecodeGifAnimation(bytes, LoadOptions{}, allocator, result, &animation)) << name;
        ImageHolder hold(allocator, result.image);
        EXPECT_EQ(result.image.sourceBits, ref.sourceBits) << name;
        EXPECT_EQ(animation.animated, ref.animated) << name;
        EXPECT_EQ(animation.loopCount, ref.loopCount) << name;
        EXPECT_EQ(animation.frameCount, int(ref.frames.size())) << name;
        std::vector<const Image*> ours = {&result.image};
        for (const Image& f : animation.frames) ours.push_back(&f);
        ASSERT_EQ(ours.size(), ref.frames.size()) << name;
        for (size_t n = 0; n < ours.size(); ++n) {
            EXPECT_EQ(TopDown(*ours[n]), ref.frames[n].indices) << name << " frame " << n;
            EXPECT_EQ(ours[n]->palette, ref.frames[n].palette) << name << " frame " << n;
        }
        ReleaseGifAnimation(animation, allocator);
        ++files;
    }
    EXPECT_GT(files, 0);
}

TEST(GifGiflib, GiflibReadsOurFilesAsWritten) {
    MemoryAllocator allocator;
    Image image;
    image.header.width = 61;  // odd sizes: interlace passes of unequal length
    image.header.height = 45;
    image.header.bitCount = 24;
    ASSERT_TRUE(allocator.Allocate(image));
    ImageHolder hold(allocator, image);
    for (int y = 0; y < 45; ++y)
        for (int x = 0; x < 61; ++x) {
            uint8_t* p = image.Row(y) + 3 * x;
            p[0] = uint8_t(x * 4 + y);
            p[1] = uint8_t(y * 5);
            p[2] = uint8_t(x * y);
        }
    for (int depth = 1; depth <= 8; ++depth)
        for (bool interlace : {false, true}) {
            SaveOptions options;
            options.settings.depth = depth;
            options.settings.dither = 1;
            options.settings.interlace = interlace;
            VectorSink sink;
            int error = 0;
            ASSERT_TRUE(EncodeGif(image, options, sink, error));
            ColourEngine engine;
            engine.width = 61;
            engine.height = 45;
            engine.sourceBits = 24;
            engine.targetBits = depth;
            engine.ditherMode = 1;
            Palette palette{};
            std::vector<uint8_t> reduced(61 * 45);
            ASSERT_TRUE(ConvertUnpacked(nullptr, image.bits, palette, engine, reduced.data()));
            Slurped slurped(sink.bytes);
            ASSERT_TRUE(slurped.ok) << depth;
            ASSERT_EQ(slurped.gif->ImageCount, 1);
            const SavedImage& frame = slurped.gif->SavedImages[0];
            EXPECT_EQ(frame.ImageDesc.Interlace, interlace);
            EXPECT_EQ(slurped.gif->SColorMap->ColorCount, 1 << depth);
            const Palette theirs = PaletteOf(slurped.gif->SColorMap);
            for (int i = 0; i < (1 << depth); ++i) EXPECT_EQ(theirs[i], palette[i]) << depth << " entry " << i;
            for (int y = 0; y < 45; ++y)
                for (int x = 0; x < 61; ++x)
                    ASSERT_EQ(frame.RasterBits[y * 61 + x], reduced[(44 - y) * 61 + x])
                        << "depth " << depth << " interlace " << interlace << " at " << x << "," << y;
        }
}

}  // namespace
}  // namespace pelio
