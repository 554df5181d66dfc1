#pragma once
// The program's words for a start it refuses before any of its libraries load.
#include "CleanStart.h"

namespace frontend {

// The prompt text of a fault; nullptr for StartFault::None.
const wchar_t* StartFaultText(cleanroom::StartFault fault);

// Shows text as a message box the system draws on the user's desktop (MB_SERVICE_NOTIFICATION):
// nothing is loaded into this process for it, no theme and no control library, which the
// refusal is about. Returns when the user has closed it.
void ShowLoadingRefusal(const wchar_t* text);

}  // namespace frontend
