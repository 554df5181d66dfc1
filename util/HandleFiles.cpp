#include "HandleFiles.h"

#include <aclapi.h>
#include <sddl.h>

#include "LongPath.h"
#include "ProcAddress.h"

namespace skelda {

namespace {

// NtSetInformationFile renames relative to a folder handle on every Windows from 7 on;
// SetFileInformationByHandle passes a bare name through only on some of them.
struct IoStatus {
    union {
        LONG status;
        PVOID pointer;
    };
    ULONG_PTR information;
};
using NtSetInformationFileFn = LONG(NTAPI*)(HANDLE, IoStatus*, PVOID, ULONG, int);
constexpr int kFileRenameInformation = 10;

bool SameText(const std::wstring& a, const std::wstring& b) {
    return ::CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                  TRUE) == CSTR_EQUAL;
}

// The path as the system would name it: long form, one backslash between names, no short
// (8.3) names where the file system can expand them.
std::wstring CanonicalLongPath(const std::wstring& path) {
    const PathParts parts = SplitFullPath(path);
    const std::wstring joined = LongPath(parts.valid ? JoinParts(parts, parts.names.size()) : path);
    const DWORD n = ::GetLongPathNameW(joined.c_str(), nullptr, 0);
    if (n == 0) return joined;
    std::wstring expanded(n, L'\0');
    const DWORD written = ::GetLongPathNameW(joined.c_str(), &expanded[0], n);
    if (written == 0 || written >= n) return joined;
    expanded.resize(written);
    return expanded;
}

// The names in a folder, read through its handle (a listing by path would open the folder
// again, which the handle's own sharing may not allow).
std::vector<std::wstring> NamesIn(HANDLE folder) {
    std::vector<std::wstring> names;
    std::vector<BYTE> buffer(64 * 1024);
    FILE_INFO_BY_HANDLE_CLASS kind = FileFullDirectoryRestartInfo;
    while (::GetFileInformationByHandleEx(folder, kind, buffer.data(), static_cast<DWORD>(buffer.size()))) {
        kind = FileFullDirectoryInfo;
        size_t offset = 0;
        for (;;) {
            const auto* entry = reinterpret_cast<const FILE_FULL_DIR_INFO*>(buffer.data() + offset);
            const std::wstring name(entry->FileName, entry->FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..") names.push_back(name);
            if (entry->NextEntryOffset == 0) break;
            offset += entry->NextEntryOffset;
        }
    }
    return names;
}

}  // namespace

UniqueHandle OpenNoFollow(const std::wstring& path, DWORD access, DWORD share, DWORD disposition, DWORD attributes,
                          SECURITY_ATTRIBUTES* security) {
    return UniqueHandle(::CreateFileW(LongPath(path).c_str(), access, share, security, disposition,
                                      attributes | FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

ObjectFacts FactsOf(HANDLE object) {
    ObjectFacts facts;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(object, &info)) return facts;
    facts.known = true;
    facts.folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    facts.link = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    facts.lastWrite = info.ftLastWriteTime;
    return facts;
}

ObjectFacts FactsOfName(const std::wstring& path) {
    ObjectFacts facts;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(LongPath(path).c_str(), GetFileExInfoStandard, &data)) return facts;
    facts.known = true;
    facts.folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    facts.link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    facts.lastWrite = data.ftLastWriteTime;
    return facts;
}

std::wstring FinalPathOf(HANDLE object) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetFinalPathNameByHandleW(object, &path[0], static_cast<DWORD>(path.size()),
                                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(n + 1);
    }
}

bool IsObjectAt(HANDLE object, const std::wstring& path) {
    const std::wstring expected = CanonicalLongPath(path);
    const std::wstring final = FinalPathOf(object);
    if (!final.empty()) return SameText(LongPath(final), expected);
    // Where the full name cannot be had (Wine gives none past MAX_PATH): the name within the
    // volume, on the same volume.
    const PathParts parts = SplitFullPath(expected);
    if (!parts.valid) return false;
    std::vector<BYTE> buffer(sizeof(FILE_NAME_INFO) + 32768 * sizeof(wchar_t));
    if (!::GetFileInformationByHandleEx(object, FileNameInfo, buffer.data(), static_cast<DWORD>(buffer.size())))
        return false;
    const auto* info = reinterpret_cast<const FILE_NAME_INFO*>(buffer.data());
    const std::wstring within(info->FileName, info->FileNameLength / sizeof(wchar_t));
    std::wstring expectedWithin;
    for (const std::wstring& name : parts.names) expectedWithin += L"\\" + name;
    // Both serials through the same query on a handle: Wine answers the by-name query through
    // its mount manager, which a process that starts with a new Wine server can find not ready.
    const UniqueHandle root = OpenNoFollow(parts.root, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    DWORD handleSerial = 0;
    DWORD rootSerial = 0;
    return SameText(within, expectedWithin) && root &&
           ::GetVolumeInformationByHandleW(object, nullptr, 0, &handleSerial, nullptr, nullptr, nullptr, 0) &&
           ::GetVolumeInformationByHandleW(root.Get(), nullptr, 0, &rootSerial, nullptr, nullptr, nullptr, 0) &&
           handleSerial == rootSerial;
}

bool IsPlainObjectAt(HANDLE object, const std::wstring& path, bool folder) {
    const ObjectFacts facts = FactsOf(object);
    return facts.known && facts.folder == folder && !facts.link && !FactsOfName(path).link &&
           IsObjectAt(object, path);
}

bool DeleteByHandle(HANDLE object) {
    FILE_DISPOSITION_INFO info{};
    info.DeleteFile = TRUE;
    return ::SetFileInformationByHandle(object, FileDispositionInfo, &info, sizeof info) != FALSE;
}

bool RenameByHandle(HANDLE object, HANDLE folder, const std::wstring& name, bool replace) {
    static const auto setInformation =
        ProcAddress<NtSetInformationFileFn>(::GetModuleHandleW(L"ntdll.dll"), "NtSetInformationFile");
    if (!setInformation || name.empty() || name.find(L'\\') != std::wstring::npos) {
        ::SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const size_t nameBytes = name.size() * sizeof(wchar_t);
    std::vector<BYTE> buffer(sizeof(FILE_RENAME_INFO) + nameBytes);
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
    info->ReplaceIfExists = replace ? TRUE : FALSE;
    info->RootDirectory = folder;
    info->FileNameLength = static_cast<DWORD>(nameBytes);
    memcpy(info->FileName, name.data(), nameBytes);
    IoStatus status{};
    const LONG result = setInformation(object, &status, info, static_cast<ULONG>(buffer.size()), kFileRenameInformation);
    if (result < 0) {
        using RtlNtStatusToDosErrorFn = ULONG(NTAPI*)(LONG);
        static const auto toDos =
            ProcAddress<RtlNtStatusToDosErrorFn>(::GetModuleHandleW(L"ntdll.dll"), "RtlNtStatusToDosError");
        ::SetLastError(toDos ? toDos(result) : ERROR_GEN_FAILURE);
        return false;
    }
    return true;
}

bool SetAccessByHandle(HANDLE object, PSECURITY_DESCRIPTOR descriptor) {
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    PACL dacl = nullptr;
    if (!descriptor || !::GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted) || !present) return false;
    return ::SetSecurityInfo(object, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
                             nullptr, nullptr, dacl, nullptr) == ERROR_SUCCESS;
}

std::wstring OwnerOf(HANDLE object) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(object, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr, nullptr,
                          &descriptor) != ERROR_SUCCESS)
        return {};
    std::wstring sid;
    LPWSTR text = nullptr;
    if (owner && ::ConvertSidToStringSidW(owner, &text)) {
        sid = text;
        ::LocalFree(text);
    }
    ::LocalFree(descriptor);
    return sid;
}

bool IsAdministrativeOwner(const std::wstring& sid) {
    return sid == L"S-1-5-18" || sid == L"S-1-5-32-544" ||
           sid == L"S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";
}

bool IsTrustedOwner(const std::wstring& sid, const std::wstring& userSid) {
    return IsAdministrativeOwner(sid) || (!sid.empty() && sid == userSid);
}

bool RemoveNoFollow(const std::wstring& path) {
    const ObjectFacts byName = FactsOfName(path);
    if (!byName.known) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    UniqueHandle object = OpenNoFollow(
        path, DELETE | FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE, kHoldShare);
    if (!object) return false;
    const ObjectFacts facts = FactsOf(object.Get());
    // Where a link was followed in spite of asking for the link itself, the handle is some
    // other folder: nothing there is ours to remove.
    if (!facts.known || !IsObjectAt(object.Get(), path)) return false;
    if (facts.link || byName.link) return DeleteByHandle(object.Get());
    bool all = true;
    if (facts.folder) {
        for (const std::wstring& name : NamesIn(object.Get())) all = RemoveNoFollow(path + L"\\" + name) && all;
    }
    if (DeleteByHandle(object.Get())) return all;
    // A read-only file or folder is deleted once it is no longer read-only.
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!::SetFileInformationByHandle(object.Get(), FileBasicInfo, &basic, sizeof basic)) return false;
    return DeleteByHandle(object.Get()) && all;
}

std::vector<UniqueHandle> HoldFolderChain(const std::wstring& path, std::wstring& reason) {
    std::vector<UniqueHandle> held;
    const PathParts parts = SplitFullPath(path);
    if (!parts.valid) {
        reason = L"not a full path: " + path;
        return {};
    }
    for (size_t i = 1; i <= parts.names.size(); ++i) {
        const std::wstring folder = JoinParts(parts, i);
        const ObjectFacts byName = FactsOfName(folder);
        UniqueHandle handle = OpenNoFollow(folder, kHoldAccess, kHoldShare);
        if (!handle) {
            reason = WithLastError(L"cannot hold the folder " + folder);
            return {};
        }
        const ObjectFacts facts = FactsOf(handle.Get());
        if (!facts.known || !facts.folder) {
            reason = L"not a folder: " + folder;
            return {};
        }
        if (facts.link || byName.link) {
            // A link an administrator made (as Windows makes some) leads where it always led;
            // one anybody else made could lead anywhere.
            if (!IsAdministrativeOwner(OwnerOf(handle.Get()))) {
                reason = L"a link not made by an administrator: " + folder;
                return {};
            }
        } else if (!IsObjectAt(handle.Get(), folder)) {
            reason = L"the folder is not where its path says (a link or a replaced folder): " + folder;
            return {};
        }
        held.push_back(std::move(handle));
    }
    return held;
}

std::wstring WithLastError(const std::wstring& what) {
    const DWORD error = ::GetLastError();
    return what + L" (error " + std::to_wstring(error) + L")";
}

}  // namespace skelda
