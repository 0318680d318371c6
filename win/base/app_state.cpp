// The one AppState of the process. Win32.
#include "win/base/app_state.h"

namespace pelio {

AppState& App() {
    static AppState state;
    return state;
}

}  // namespace pelio
