#include "StartRefusal.h"

#include <windows.h>

#include "FrontendTexts.h"

namespace frontend {

const wchar_t* StartFaultText(cleanroom::StartFault fault) {
    switch (fault) {
        case cleanroom::StartFault::None: return nullptr;
        case cleanroom::StartFault::SearchNotNarrowed: return texts::kSearchNotNarrowed;
        case cleanroom::StartFault::DotLocal: return texts::kDotLocalBeside;
        case cleanroom::StartFault::NoRoom: return texts::kNoCleanRoom;
        case cleanroom::StartFault::FileMissing: return texts::kShippedFileMissing;
        case cleanroom::StartFault::FileDifferent: return texts::kShippedFileChanged;
        case cleanroom::StartFault::FileUnreadable: return texts::kShippedFileUnreadable;
    }
    return texts::kNoCleanRoom;
}

void ShowLoadingRefusal(const wchar_t* text) {
    ::MessageBoxW(nullptr, text, texts::kWindowTitle, MB_OK | MB_ICONERROR | MB_SERVICE_NOTIFICATION);
}

}  // namespace frontend
