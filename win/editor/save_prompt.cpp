// Save-changes question. Win32.
#include "win/editor/save_prompt.h"

#include <windows.h>

#include "win/app/message_box.h"
#include "win/editor/save_pipeline.h"
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
    case DiscardAnswer::SaveFirst: return SaveAs();
    default: return false;
    }
}

}  // namespace pelio
