// The general error messages shown with caption "Error". Portable.
#pragma once

namespace pelio {

enum GeneralError : int {
    kErrNoMemory = 0,
    kErrReadData = 1,
    kErrShowImage = 2,
    kErrFileChanged = 3,
    kErrCannotRun = 4,
    kErrTempCreate = 5,
    kErrTempDelete = 6,
    kErrFileCreate = 7,
    kErrFileRun = 8,
    kErrFileDelete = 9,
    kErrPrintPreview = 10,
    kErrPrint = 11,
    kErrHistorySave = 12,
    kErrHistoryRun = 13,
};

inline constexpr wchar_t kErrorCaption[] = L"Error";
inline constexpr wchar_t kQuestionCaption[] = L"Pelio";

// The fixed text of a general error; "Error" for an index outside the table.
const wchar_t* GeneralErrorText(int index);

}  // namespace pelio
