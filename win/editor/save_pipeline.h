// The saved-result preview, the save-as dialog and the save execution. Win32.
#pragma once
#include <windows.h>

#include <string>

namespace pelio {

// Encodes the current image with the save settings into a temporary file, decodes it again
// and shows it in the preview pane (cmd::kSavePreview). Nothing when the shown preview is current.
void SavePreview();
// Drops the preview and its temporary file.
void DiscardPreview();
bool PreviewShown();

// The Edit window's title: the caption, and the preview's size while one is shown.
void UpdateEditTitle();

// The save-as dialog; true when a file was written.
bool SaveAs();
// Writes the current image to `destination` with the save settings, reusing the preview's
// temporary file when nothing changed since it was made; true when the file was written.
bool SaveTo(const std::wstring& destination);

// The save dialog's default extension and filter index for a save format.
const wchar_t* DefaultExtension(int format);

}  // namespace pelio
