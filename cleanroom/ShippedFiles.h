#pragma once
// The files that ship beside the programs and go into the clean room, each with the SHA-256 the
// build took of it.
#include <string>
#include <vector>

namespace cleanroom {

struct ShippedFile {
    enum class Kind { Code, Data };
    std::wstring name;   // below the program's folder, the same below the room
    Kind kind = Kind::Code;
    std::string sha256;  // code must have it (no digest: nothing matches); data is taken as it is
    bool required = true;
};

// Who starts: the skinned program loads all three libraries; the console host only the engine.
enum class Starter { Program, ConsoleHost };

// What the starter needs in its room: the libraries it loads, the packer the engine starts on
// this kind of Windows (the 64-bit one on 64-bit Windows) and, for the program, the feedback
// library's settings where there are any.
std::vector<ShippedFile> ShippedFilesFor(Starter starter, bool windows64);

}  // namespace cleanroom
