// Clipboard. Win32.
#include "win/shell/clipboard.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "core/image/bmp_codec.h"
#include "win/base/app_state.h"
#include "win/image/save_prompt.h"
#include "win/image/allocators.h"
#include "win/image/current_image.h"
#include "win/viewer/file_list.h"

namespace pelio {

void CopyImage() {
    const CurrentImage& c = Current();
    if (!c.Loaded()) return;
    const std::vector<uint8_t> packed = PackBitmap(c.AsImage());
    if (packed.empty() || !OpenClipboard(App().dialogOwner)) return;
    EmptyClipboard();
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, packed.size())) {
        void* p = GlobalLock(memory);
        std::memcpy(p, packed.data(), packed.size());
        GlobalUnlock(memory);
        if (!SetClipboardData(CF_DIB, memory)) GlobalFree(memory);
    }
    CloseClipboard();
}

bool PasteImage() {
    if (!ReadyToReplaceImage()) return false;
    if (!IsClipboardFormatAvailable(CF_DIB) || !OpenClipboard(App().dialogOwner)) return false;
    bool ok = false;
    Image image;
    DibAllocator allocator;
    if (HANDLE data = GetClipboardData(CF_DIB)) {
        const auto* bytes = static_cast<const uint8_t*>(GlobalLock(data));
        const SIZE_T size = GlobalSize(data);
        if (bytes) {
            ok = DecodePackedBitmap(std::span<const uint8_t>(bytes, size), allocator, image);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    if (!ok) return false;
    InstallImage(image, nullptr, InstallKind::FromFile);
    CurrentImage& c = Current();
    c.path.clear();
    c.name = L"clip";
    c.info = SourceInfo{};
    c.fileTime = 0;
    ClearFileListSelection();
    return true;
}

}  // namespace pelio
