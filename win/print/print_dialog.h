// Printing the current image on one page, with its preview dialog. Win32.
#pragma once

namespace pelio {

// The print command: the dialog on the default printer, or the failure message without one.
void OpenPrintDialog();

}  // namespace pelio
