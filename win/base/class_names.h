// The names of the program's window classes. Win32.
#pragma once

namespace pelio {

inline constexpr wchar_t kViewerClass[] = L"Pelio_vwin_class";
inline constexpr wchar_t kViewerBarClass[] = L"Pelio_vbar_class";
inline constexpr wchar_t kEditClass[] = L"Pelio_swin_class";
inline constexpr wchar_t kImagePaneClass[] = L"Pelio_sch1_class";
inline constexpr wchar_t kPreviewPaneClass[] = L"Pelio_sch2_class";
inline constexpr wchar_t kFileListClass[] = L"Pelio_list_class";
inline constexpr wchar_t kNavigatorClass[] = L"Pelio_navi_class";
inline constexpr wchar_t kColourBoxClass[] = L"Pelio_cbox_class";
inline constexpr wchar_t kPrintPreviewClass[] = L"Pelio_prtp_class";

}  // namespace pelio
