// imgtool: inspects and converts images with Pelio's own codecs. Portable.
//   imgtool info FILE
//   imgtool decode FILE OUT.bmp [load options]
//   imgtool convert IN OUT [load and save options]
//   imgtool count FILE
//   imgtool op IN OUT.bmp OPERATION ARGS... [load options]
//   imgtool histogram FILE [load options]
// Failures print "error=CODE" (the codec error codes) and exit 1; usage errors exit 2. An
// operation that Confirm would refuse prints "refused" and exits 1.
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/image/codec.h"
#include "core/image/codec_error.h"
#include "core/image/colour_count.h"
#include "core/image/format.h"
#include "core/image/gif_codec.h"
#include "core/image/jpeg_codec.h"
#include "core/ops/luminance.h"
#include "tools/imgtool/operations.h"
#include "tools/imgtool/options.h"

namespace pelio::imgtool {

namespace {

constexpr char kUsage[] =
    "usage: imgtool info FILE\n"
    "       imgtool decode FILE OUT.bmp [--gamma on|off] [--display-gamma N] [--alpha on|off]\n"
    "                                   [--file-bg on|off] [--bg R,G,B]\n"
    "       imgtool convert IN OUT [load options] [--format bmp|png|jpeg|tiff|gif|jpegtrans|0..5]\n"
    "                              [--depth N] [--gray] [--dither 0..3] [--level N] [--filter 0..5]\n"
    "                              [--interlace] [--save-gamma N] [--transparent R,G,B]\n"
    "                              [--quality N] [--sampling 0..2] [--progressive] [--limit KB]\n"
    "                              [--comment TEXT] [--marker 0..2] [--no-trim] [--turn 1..5]\n"
    "       imgtool count FILE\n"
    "       imgtool histogram FILE [load options]\n";

void PrintUsage() {
    std::fputs(kUsage, stderr);
    for (const OpRow& row : Operations())
        std::fprintf(stderr, "       imgtool op IN OUT.bmp %s%s%s\n", row.name, *row.usage ? " " : "", row.usage);
}

int Fail(int code) {
    std::printf("error=%d\n", code);
    if (code == kJpegLibraryError)
        std::fprintf(stderr, "JPEG Library Error: %s\n", LastJpegLibraryMessage().c_str());
    return 1;
}

bool ReadFile(const std::string& path, std::vector<uint8_t>& out) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    in.seekg(0, std::ios::end);
    std::streamoff size = in.tellg();
    if (size < 0) return false;
    in.seekg(0);
    out.resize(static_cast<size_t>(size));
    return size == 0 || static_cast<bool>(in.read(reinterpret_cast<char*>(out.data()), size));
}

// The file a destination path names: symbolic links followed to their final target, which
// may not exist yet. Empty when the links loop.
std::filesystem::path FinalTarget(std::filesystem::path path) {
    namespace fs = std::filesystem;
    for (int hops = 0; hops < 40; ++hops) {
        std::error_code ec;
        if (!fs::is_symlink(path, ec)) return path;
        const fs::path link = fs::read_symlink(path, ec);
        if (ec) return {};
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    return {};
}

bool WriteAll(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Writes `bytes` to a temporary file beside the destination (a link's target), synced, then
// renamed over it, so the destination is either untouched or complete. A destination without
// the owner's write bit, or one the user may not write, is refused, as what a user sees as
// read-only (the bit holds for root too); a replaced file keeps its mode.
int WriteFileSafely(const std::string& path, const std::vector<uint8_t>& bytes) {
    const std::filesystem::path dest = FinalTarget(path);
    if (dest.empty()) return kCodecCreateFailed;
    struct stat existing {};
    const bool exists = ::stat(dest.c_str(), &existing) == 0;
    if (exists && (!S_ISREG(existing.st_mode) || !(existing.st_mode & S_IWUSR) ||
                   ::access(dest.c_str(), W_OK) != 0))
        return kCodecCreateFailed;
    if (!exists && errno != ENOENT) return kCodecCreateFailed;

    const std::filesystem::path dir = dest.has_parent_path() ? dest.parent_path() : ".";
    std::string temp = (dir / ("." + dest.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return kCodecCreateFailed;
    int code = kCodecOk;
    if (exists) {
        if (::fchmod(fd, existing.st_mode & 07777) != 0) code = kCodecCreateFailed;
        // Owner and group too where allowed (as root); a user's own file needs no change.
        const int kept = ::fchown(fd, existing.st_uid, existing.st_gid);
        (void)kept;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        if (::fchmod(fd, 0666 & ~mask) != 0) code = kCodecCreateFailed;
    }
    if (!code && (!WriteAll(fd, bytes.data(), bytes.size()) || ::fsync(fd) != 0)) code = kCodecSaveFailed;
    if (::close(fd) != 0 && !code) code = kCodecSaveFailed;
    if (!code && ::rename(temp.c_str(), dest.c_str()) != 0) code = kCodecCreateFailed;
    if (code) {
        ::unlink(temp.c_str());
        return code;
    }
    // The rename itself made durable.
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return kCodecOk;
}

// Decodes a file into `result` (plain memory); the error code on failure. A GIF's later
// frames go to `animation`; `file` keeps the file's bytes.
int DecodePath(const std::string& path, const LoadOptions& options, MemoryAllocator& allocator,
               DecodeResult& result, GifAnimation& animation, std::vector<uint8_t>& file) {
    if (!ReadFile(path, file)) return kCodecReadFailed;
    ImageFormat format = DetectFormat(std::span<const uint8_t>(file.data(), std::min(file.size(), kFormatProbeBytes)));
    if (format == ImageFormat::Empty) return kCodecBadFile;
    if (format == ImageFormat::Gif) {
        if (!DecodeGifAnimation(file, options, allocator, result, &animation))
            return result.error ? result.error : kCodecReadFailed;
        return kCodecOk;
    }
    DecodeFn decode = FindDecoder(format);
    if (!decode) return kCodecUnsupported;
    if (!decode(file, options, allocator, result)) return result.error ? result.error : kCodecReadFailed;
    return kCodecOk;
}

int Encode(const Image& image, const SaveOptions& options, const std::string& out) {
    EncodeFn encode = FindEncoder(static_cast<SaveFormat>(options.settings.format));
    if (!encode) return kCodecUnsupported;
    VectorSink sink;
    int error = kCodecOk;
    if (!encode(image, options, sink, error)) return error ? error : kCodecSaveFailed;
    return WriteFileSafely(out, sink.bytes);
}

// The picture an operation makes, written as a BMP at its depth (the input itself when the
// parameters are neutral).
int RunOperation(const OpRow& row, const OpArgs& opArgs, const Image& image, const std::string& out) {
    MemoryAllocator allocator;
    Image result;
    ImageHolder holder(allocator, result);
    switch (row.run(image, opArgs, allocator, result)) {
    case OpStatus::Done: break;
    case OpStatus::Unchanged: result = Image{}; break;
    case OpStatus::Refused: std::printf("refused\n"); return 1;
    case OpStatus::NoMemory: return Fail(kCodecNoMemory);
    case OpStatus::BadArgument: PrintUsage(); return 2;
    }
    const Image& written = result.bits ? result : image;
    SaveOptions save;
    save.settings.format = static_cast<int>(SaveFormat::Bmp);
    save.settings.depth = written.BitCount();
    const int code = Encode(written, save, out);
    return code ? Fail(code) : 0;
}

int Run(const std::vector<std::string>& args) {
    if (args.size() < 2) {
        PrintUsage();
        return 2;
    }
    const std::string& verb = args[0];
    Options options;
    std::string error;
    std::vector<std::string> rest;
    const OpRow* operation = nullptr;
    OpArgs opArgs;
    if (verb == "op") {
        operation = args.size() >= 4 ? FindOperation(args[3]) : nullptr;
        if (!operation) {
            PrintUsage();
            return 2;
        }
        if (!SplitOpArgs(*operation, std::vector<std::string>(args.begin() + 4, args.end()), opArgs, rest, error)) {
            std::fprintf(stderr, "imgtool: %s\n", error.c_str());
            PrintUsage();
            return 2;
        }
    } else {
        const size_t optionsAt = verb == "decode" || verb == "convert" ? 3 : 2;
        if (args.size() < optionsAt) {
            PrintUsage();
            return 2;
        }
        rest.assign(args.begin() + ptrdiff_t(optionsAt), args.end());
    }
    if (!ParseOptions(rest, options, error)) {
        std::fprintf(stderr, "imgtool: %s\n", error.c_str());
        PrintUsage();
        return 2;
    }

    MemoryAllocator allocator;
    DecodeResult result;
    GifAnimation animation;
    std::vector<uint8_t> file;
    int code = DecodePath(args[1], options.load, allocator, result, animation, file);
    ImageHolder holder(allocator, result.image);
    struct AnimationHolder {
        MemoryAllocator& allocator;
        GifAnimation& animation;
        ~AnimationHolder() { ReleaseGifAnimation(animation, allocator); }
    } animationHolder{allocator, animation};
    if (code) return Fail(code);
    const Image& image = result.image;

    if (verb == "info") {
        const SourceInfo& s = result.info;
        std::printf("format=%u width=%d height=%d bits=%d sourceBits=%d interlaced=%d transparency=%d "
                    "text=%d comment=%d",
                    static_cast<unsigned>(image.format), image.Width(), image.Height(), image.BitCount(),
                    image.sourceBits, s.interlaced ? 1 : 0, s.transparency ? 1 : 0, s.text, s.comment);
        if (animation.animated) std::printf(" frames=%d loops=%d", animation.frameCount, animation.loopCount);
        std::printf("\n");
        return 0;
    }
    if (operation) return RunOperation(*operation, opArgs, image, args[2]);
    if (verb == "histogram") {
        LuminanceCounts counts{};
        if (!LuminanceHistogram(image, counts)) return Fail(kCodecUnsupported);
        for (int v = 0; v < 256; ++v) std::printf("%d %u\n", v, counts[size_t(v)]);
        return 0;
    }
    if (verb == "count") {
        std::printf("colours=%u\n", CountImageColours(image));
        return 0;
    }
    if (verb == "decode") {
        SaveOptions save;
        save.settings.format = static_cast<int>(SaveFormat::Bmp);
        save.settings.depth = image.BitCount();
        code = Encode(image, save, args[2]);
        return code ? Fail(code) : 0;
    }
    if (verb == "convert") {
        if (!options.formatGiven) {
            // The output's extension decides; BMP when it names no format.
            switch (FormatFromExtension(std::wstring(args[2].begin(), args[2].end()))) {
            case ImageFormat::Png: options.save.settings.format = 1; break;
            case ImageFormat::Jpeg: options.save.settings.format = 2; break;
            case ImageFormat::Tiff: options.save.settings.format = 3; break;
            case ImageFormat::Gif: options.save.settings.format = 4; break;
            default: options.save.settings.format = 0; break;
            }
        }
        if (options.save.settings.format == static_cast<int>(SaveFormat::JpegLossless)) {
            // The input file's coefficients, turned: only a JPEG source has them.
            if (image.format != ImageFormat::Jpeg) return Fail(kCodecUnsupported);
            options.save.losslessSource = file;
            options.save.losslessTransform = options.turn;
        }
        code = Encode(image, options.save, args[2]);
        return code ? Fail(code) : 0;
    }
    PrintUsage();
    return 2;
}

}  // namespace

}  // namespace pelio::imgtool

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return pelio::imgtool::Run(args);
}
