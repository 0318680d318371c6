// Load dispatch. Win32.
#include "win/image/load_dispatch.h"

#include <windows.h>

#include "core/image/codec.h"
#include "core/image/format.h"
#include "core/image/gif_codec.h"
#include "win/base/app_state.h"
#include "win/image/allocators.h"
#include "win/image/current_image.h"
#include "win/image/mapped_file.h"
#include "win/image/plugin_host.h"
#include "win/image/read_ahead.h"

namespace pelio {

namespace {

// The frames of a looping GIF become the current image's animation record.
void InstallAnimation(GifAnimation& animation) {
    AnimationState& state = Current().animation;
    state = AnimationState{};
    if (!animation.animated || animation.frameCount < 2) return;
    state.active = true;
    state.frameCount = animation.frameCount;
    state.loopCount = animation.loopCount;
    state.delays = animation.delays;
    for (const Image& frame : animation.frames) state.frames.push_back(static_cast<HBITMAP>(frame.bitmap));
}

}  // namespace

bool DecodeFileWith(ImageFormat format, const std::wstring& path, const LoadOptions& options,
                    PixelAllocator& allocator, DecodeResult& result, GifAnimation* animation) {
    DecodeFn decode = FindDecoder(format);
    if (!decode) {
        result.error = 2;
        return false;
    }
    MappedFile file;
    if (!file.Open(path)) {
        result.error = 4;
        return false;
    }
    const bool ok = format == ImageFormat::Gif && animation
                        ? DecodeGifAnimation(file.Bytes(), options, allocator, result, animation)
                        : decode(file.Bytes(), options, allocator, result);
    if (!ok) return false;
    result.image.fileTime = file.LastWriteTime();
    return true;
}

ImageFormat DetectFormat(const std::wstring& path) {
    HANDLE h = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return ImageFormat::Unknown;
    uint8_t head[kFormatProbeBytes];
    DWORD got = 0;
    BOOL ok = ReadFile(h, head, sizeof head, &got, nullptr);
    CloseHandle(h);
    return DetectFormat(std::span<const uint8_t>(head, ok ? got : 0));
}

bool LoadImageFile(const std::wstring& path) {
    AppState& app = App();
    CurrentImage& current = Current();
    const SourceInfo saved = current.info;
    current.info = SourceInfo{};
    const LoadOptions options = LoadOptions::From(app.settings.read);
    PreparedPicture prepared;
    if (TakePrepared(path, options, prepared)) {
        current.info = prepared.result.info;
        InstallImage(prepared.result.image, &path, InstallKind::FromFile);
        InstallAnimation(prepared.animation);
        return true;
    }
    if (app.viewer) SetWindowTextW(app.viewer, L"wait...");
    if (!app.mouseOperation) SetCursor(app.cursors.wait);

    DibAllocator allocator;
    DecodeResult result;
    GifAnimation animation;
    bool ok = false;
    const ImageFormat format = DetectFormat(path);
    if (format != ImageFormat::Empty) {
        ok = format != ImageFormat::Unknown && DecodeFileWith(format, path, options, allocator, result, &animation);
        // What no built-in decoder reads goes to the plug-ins.
        if (!ok) {
            if (result.image.bits) allocator.Release(result.image);
            result = DecodeResult{};
            ok = DecodeWithPlugins(path, allocator, result);
        }
    }
    if (ok) {
        current.info = result.info;
        InstallImage(result.image, &path, InstallKind::FromFile);
        InstallAnimation(animation);
    } else {
        current.info = saved;
    }
    SetCursor(app.cursors.arrow);
    return ok;
}

bool DecodeFile(ImageFormat format, const std::wstring& path, Image& out, int& fileSize) {
    DibAllocator allocator;
    DecodeResult result;
    if (!DecodeFileWith(format, path, LoadOptions::From(App().settings.read), allocator, result, nullptr))
        return false;
    out = result.image;
    fileSize = result.image.fileSize;
    return true;
}

}  // namespace pelio
