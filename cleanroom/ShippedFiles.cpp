#include "ShippedFiles.h"

#include "PackerDigests.h"
#include "ShippedDigests.h"

namespace cleanroom {

std::vector<ShippedFile> ShippedFilesFor(Starter starter, bool windows64) {
    using Kind = ShippedFile::Kind;
    std::vector<ShippedFile> files = {{L"OrvaneSkelda.dll", Kind::Code, digests::kOrvaneSkelda, true}};
    if (windows64)
        files.push_back({L"7z\\x64\\7zx64.exe", Kind::Code, engine::kPackerX64Sha256, true});
    else
        files.push_back({L"7z\\x86\\7zx86.exe", Kind::Code, engine::kPackerX86Sha256, true});
    if (starter == Starter::Program) {
        files.push_back({L"OrvaneMouseHook.dll", Kind::Code, digests::kOrvaneMouseHook, true});
        files.push_back({L"OrvaneFeedbackInformation.dll", Kind::Code, digests::kOrvaneFeedbackInformation, true});
        files.push_back({L"OrvaneFeedbackInformation.ini", Kind::Data, "", false});
    }
    return files;
}

}  // namespace cleanroom
