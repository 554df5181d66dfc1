#include "PackerCheck.h"

#include "PackerDigests.h"
#include "Sha256.h"

namespace engine {

const char* ShippedPackerDigest(bool x64) { return x64 ? kPackerX64Sha256 : kPackerX86Sha256; }

PackerState HoldPacker(const std::wstring& path, const std::string& expectedSha256, skelda::UniqueHandle& held) {
    held.Reset();
    // Shared for reading only: the system's own open to start it reads and executes, and no
    // writer, renamer or deleter gets in until the handle closes.
    skelda::UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return PackerState::Missing;
    if (skelda::Sha256OfFile(file.Get()) != expectedSha256) return PackerState::NotShipped;
    held = std::move(file);
    return PackerState::Held;
}

}  // namespace engine
