#include "ArchivePath.h"

#include <cwchar>

#include "PathText.h"

namespace engine {

bool WriteArchivePath(const std::wstring& folder, wchar_t* buffer) {
    const auto path = skelda::JoinWithinCapacity(folder, kArchiveFileName, kArchivePathCapacity);
    if (!path || !buffer) return false;
    std::wmemcpy(buffer, path->c_str(), path->size() + 1);
    return true;
}

}  // namespace engine
