// Current image state and its installation. Win32.
#include "win/image/current_image.h"

#include <algorithm>

#include "win/base/app_state.h"

namespace pelio {

namespace {

void ReleaseBitmaps(CurrentImage& c) {
    ++c.generation;
    if (!c.Loaded()) return;
    SelectObject(c.memoryDc, c.firstBitmap);
    if (c.animation.active) {
        if (App().viewer) KillTimer(App().viewer, kAnimationTimerId);
        for (HBITMAP frame : c.animation.frames) DeleteObject(frame);
        if (std::find(c.animation.frames.begin(), c.animation.frames.end(), c.bitmap) ==
            c.animation.frames.end())
            DeleteObject(c.bitmap);
        c.animation = AnimationState{};
    } else {
        DeleteObject(c.bitmap);
    }
    c.bitmap = nullptr;
    c.bits = nullptr;
}

std::wstring NamePart(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

}  // namespace

CurrentImage& Current() {
    static CurrentImage current;
    return current;
}

Image CurrentImage::AsImage() const {
    Image image;
    image.header.width = width;
    image.header.height = height;
    image.header.bitCount = static_cast<uint16_t>(bitCount);
    image.header.xPelsPerMeter = xPelsPerMeter;
    image.header.yPelsPerMeter = yPelsPerMeter;
    image.palette = palette;
    image.format = format;
    image.bits = bits;
    image.bitmap = bitmap;
    image.fileSize = fileSize;
    image.sourceBits = sourceBits;
    image.fileTime = fileTime;
    return image;
}

void InstallImage(const Image& image, const std::wstring* path, InstallKind kind) {
    CurrentImage& c = Current();
    ReleaseBitmaps(c);
    if (!c.memoryDc) c.memoryDc = CreateCompatibleDC(nullptr);

    c.bitmap = static_cast<HBITMAP>(image.bitmap);
    c.palette = image.palette;
    c.bits = image.bits;
    HGDIOBJ previous = SelectObject(c.memoryDc, c.bitmap);
    if (!c.firstBitmap) c.firstBitmap = static_cast<HBITMAP>(previous);

    c.width = image.Width();
    c.height = image.Height();
    c.bitCount = image.BitCount();
    c.format = image.format;
    c.xPelsPerMeter = image.header.xPelsPerMeter < 0 ? 0 : image.header.xPelsPerMeter;
    c.yPelsPerMeter = image.header.yPelsPerMeter < 0 ? 0 : image.header.yPelsPerMeter;
    c.sourceBits = image.sourceBits;
    c.fileSize = image.fileSize;

    ImageSaveSettings& save = App().settings.save;
    if (c.format != ImageFormat::Jpeg && save.format == static_cast<int>(SaveFormat::JpegLossless))
        save.format = static_cast<int>(SaveFormat::Jpeg);

    if (path) {
        c.fileTime = image.fileTime;
        c.path = *path;
        c.name = NamePart(*path);
    }
    c.pendingTransform = 0;
    App().transparentSwitch = false;
    c.modified = kind == InstallKind::FromEdit;
}

bool CurrentFileExists() {
    const std::wstring& path = Current().path;
    const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void ReleaseCurrentImage() {
    CurrentImage& c = Current();
    ReleaseBitmaps(c);
    c.width = c.height = c.bitCount = 0;
    c.path.clear();
    c.name.clear();
    c.info = SourceInfo{};
    c.modified = false;
    c.pendingTransform = 0;
}

}  // namespace pelio
