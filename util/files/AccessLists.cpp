#include "files/AccessLists.h"

#include <aclapi.h>
#include <sddl.h>

#include <vector>

#include "win/ProcessToken.h"

namespace util::files {

std::wstring PrivateAccessSddl(const std::wstring& userSid) {
    // P: the parent's entries do not apply; OICI: files and folders inside inherit; FA: full.
    return L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + userSid + L")";
}

std::wstring RunFolderSddl(const std::wstring& userSid, bool runsAsAdministrator) {
    std::wstring sddl = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
    if (!runsAsAdministrator) sddl += L"(A;OICI;FA;;;" + userSid + L")";
    return sddl;
}

std::wstring MadeFolderSddl(const std::wstring& userSid, bool runsAsAdministrator) {
    // 0x1200e9: FILE_GENERIC_READ, FILE_TRAVERSE and FILE_DELETE_CHILD.
    if (!runsAsAdministrator) return L"D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FA;;;" + userSid + L")";
    return L"D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;0x1200e9;;;" + userSid + L")";
}

std::wstring KeptCollectionSddl(const std::wstring& userSid) {
    // 0x1200a9: FILE_GENERIC_READ and FILE_TRAVERSE.
    return L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;" + userSid + L")";
}

bool OnlyTrustedMayChange(PSECURITY_DESCRIPTOR descriptor, const OwnerRule& rule) {
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (!descriptor || !::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) || !present || !dacl)
        return false;
    constexpr ACCESS_MASK kChanges = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_DELETE_CHILD |
                                     FILE_WRITE_ATTRIBUTES | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE |
                                     GENERIC_ALL | MAXIMUM_ALLOWED;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(dacl, i, &ace)) return false;
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        if (header->AceFlags & INHERIT_ONLY_ACE) continue;
        if (header->AceType == ACCESS_DENIED_ACE_TYPE) continue;
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) return false;  // callbacks, objects: not ours
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        if ((allowed->Mask & kChanges) == 0) continue;
        if (ClassifyOwner(SidText(&allowed->SidStart), rule) != OwnerKind::Trusted) return false;
    }
    return true;
}

bool AccessList::Build() {
    if (descriptor_) return true;
    const std::wstring user = win::CurrentUserSid();
    if (user.empty()) return false;
    return BuildFrom(PrivateAccessSddl(user));
}

bool AccessList::BuildFrom(const std::wstring& sddl) {
    if (descriptor_) ::LocalFree(descriptor_);
    descriptor_ = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor_,
                                                                nullptr)) {
        descriptor_ = nullptr;
        return false;
    }
    attributes_.nLength = sizeof(attributes_);
    attributes_.lpSecurityDescriptor = descriptor_;
    attributes_.bInheritHandle = FALSE;
    return true;
}

AccessList::~AccessList() {
    if (descriptor_) ::LocalFree(descriptor_);
}

bool AccessList::ApplyTo(const std::wstring& path) const {
    if (!descriptor_) return false;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    if (!::GetSecurityDescriptorDacl(descriptor_, &present, &dacl, &defaulted) || !present) return false;
    std::wstring name = path;  // SetNamedSecurityInfoW takes a writable string
    return ::SetNamedSecurityInfoW(&name[0], SE_FILE_OBJECT,
                                   DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                   dacl, nullptr) == ERROR_SUCCESS;
}

std::wstring AccessListOf(const std::wstring& path) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr,
                                nullptr, &descriptor) != ERROR_SUCCESS)
        return {};
    LPWSTR text = nullptr;
    std::wstring sddl;
    if (::ConvertSecurityDescriptorToStringSecurityDescriptorW(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                               &text, nullptr)) {
        sddl = text;
        ::LocalFree(text);
    }
    ::LocalFree(descriptor);
    return sddl;
}

}  // namespace util::files
