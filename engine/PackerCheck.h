#pragma once
// The packer the engine starts is the one that shipped beside it: the user's own processes can
// write the program's folder and could swap it between the consent prompt and the start.
#include <string>

#include "UniqueHandle.h"

namespace engine {

// The SHA-256 the build recorded of the packer it ships for the given build (lowercase hex).
const char* ShippedPackerDigest(bool x64);

enum class PackerState {
    Held,        // the file is the expected one, and held
    Missing,     // it cannot be opened (not there, or open for writing elsewhere)
    NotShipped,  // its bytes are not the expected ones
};

// Opens the packer so that, while held stays open, nobody can write, rename or delete it (reading
// and starting it stay allowed), and checks its SHA-256 against expectedSha256. held keeps the file
// only when the answer is Held.
PackerState HoldPacker(const std::wstring& path, const std::string& expectedSha256, skelda::UniqueHandle& held);

}  // namespace engine
