#include "files/TrustedFolder.h"

#include <sddl.h>

#include <cwchar>

#include "files/NoFollow.h"

namespace util::files {

namespace {

// Makes the folder with the list of sddl; false (with the error set) when it cannot.
bool MakeFolder(const std::wstring& path, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
    const bool made = ::CreateDirectoryW(path.c_str(), &attributes) != FALSE;
    const DWORD error = ::GetLastError();
    ::LocalFree(descriptor);
    ::SetLastError(error);
    return made;
}

}  // namespace

std::vector<std::wstring> MachineTrustedOwners() {
    std::vector<std::wstring> owners;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\OrvaneSkelda", 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) !=
        ERROR_SUCCESS)
        return owners;
    DWORD type = 0;
    DWORD bytes = 0;
    if (::RegQueryValueExW(key, L"TrustedOwners", nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
        (type == REG_MULTI_SZ || type == REG_SZ) && bytes > 0 && bytes < 64 * 1024) {
        std::vector<wchar_t> value(bytes / sizeof(wchar_t) + 2, L'\0');
        if (::RegQueryValueExW(key, L"TrustedOwners", nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &bytes) ==
            ERROR_SUCCESS) {
            for (const wchar_t* item = value.data(); *item; item += wcslen(item) + 1) owners.emplace_back(item);
        }
    }
    ::RegCloseKey(key);
    return owners;
}

win::UniqueHandle OpenTrustedFolder(const std::wstring& path, DWORD access, const wchar_t* sddlWhenMade,
                                    const OwnerRule& owners, std::wstring& why) {
    constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;  // no delete: not renamed while held
    ObjectFacts facts;
    win::UniqueHandle folder = OpenNoFollow(path, access, kShare, facts, owners);
    if (JudgePlace(facts, true) == PlaceVerdict::Missing) {
        const DWORD made = MakeFolder(path, sddlWhenMade) ? ERROR_SUCCESS : ::GetLastError();
        if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS) {
            why = path + L" cannot be made (error " + std::to_wstring(made) + L")";
            return win::UniqueHandle();
        }
        // Whoever made it in the meantime, it is judged like any folder found there.
        folder = OpenNoFollow(path, access, kShare, facts, owners);
    }
    const PlaceVerdict verdict = JudgePlace(facts, true);
    if (verdict != PlaceVerdict::Trusted) {
        why = path + L" " + VerdictText(verdict, facts);
        return win::UniqueHandle();
    }
    return folder;
}

win::UniqueHandle OpenTrustedFile(HANDLE folder, const std::wstring& folderPath, const std::wstring& name,
                                  DWORD access, bool create, const OwnerRule& owners, std::wstring& why) {
    const std::wstring path = folderPath + L"\\" + name;
    DWORD error = 0;
    win::UniqueHandle file = OpenInFolder(folder, name, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                          create, error);
    if (!file) {
        if (error != ERROR_FILE_NOT_FOUND || create)
            why = path + L" cannot be opened (error " + std::to_wstring(error) + L")";
        return win::UniqueHandle();
    }
    const ObjectFacts facts = FactsOf(file.Get(), path, &owners);
    const PlaceVerdict verdict = JudgePlace(facts, false);
    if (verdict != PlaceVerdict::Trusted) {
        why = path + L" " + VerdictText(verdict, facts);
        return win::UniqueHandle();
    }
    return file;
}

int RemoveTrustedFolders(const std::wstring& parent, const std::wstring& pattern,
                         const std::function<bool(const FolderEntry&)>& pick, const OwnerRule& owners) {
    std::vector<std::wstring> candidates;
    ListFolder(parent, pattern, [&](const FolderEntry& entry) {
        if (entry.Folder() && !entry.Link() && pick(entry)) candidates.push_back(entry.path);
    });
    int removed = 0;
    for (const std::wstring& path : candidates) {
        win::UniqueHandle folder =
            OpenNoFollow(path, kHoldAccess | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        if (!folder) continue;
        const ObjectFacts facts = FactsOf(folder.Get(), path, &owners);
        if (JudgePlace(facts, true) != PlaceVerdict::Trusted || !IsObjectAt(folder.Get(), path)) continue;
        if (RemoveContentsOf(folder.Get(), path) && DeleteByHandle(folder.Get())) ++removed;
    }
    return removed;
}

}  // namespace util::files
