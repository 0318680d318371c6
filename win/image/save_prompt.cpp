// Save-changes question. Win32.
#include "win/image/save_prompt.h"

#include <windows.h>

#include "win/base/frame_link.h"
#include "win/base/message_box.h"
#include "win/image/current_image.h"

namespace pelio {

DiscardAnswer ConfirmDiscardChanges() {
    const CurrentImage& c = Current();
    if (!c.Loaded() || !c.modified) return DiscardAnswer::Discard;
    std::wstring text = c.name + L" への変更を保存しますか?";
    switch (AskQuestion(text.c_str(), MB_YESNOCANCEL | MB_SETFOREGROUND)) {
    case IDYES: return DiscardAnswer::SaveFirst;
    case IDNO: return DiscardAnswer::Discard;
    default: return DiscardAnswer::Cancel;
    }
}

bool ReadyToReplaceImage() {
    switch (ConfirmDiscardChanges()) {
    case DiscardAnswer::Discard: return true;
    case DiscardAnswer::SaveFirst: return Link().saveAs();
    default: return false;
    }
}

}  // namespace pelio
