#include "files/NoFollow.h"

#include <aclapi.h>
#include <winternl.h>

#include "text/LongPath.h"
#include "win/ProcAddress.h"

namespace util::files {

using text::JoinParts;
using text::LongPath;
using text::PathParts;
using text::SplitFullPath;
using win::ProcAddress;

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
    const ObjectFacts facts = FactsOf(object, path);
    return facts.known && facts.Folder() == folder && !facts.Link() && IsObjectAt(object, path);
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
    if (facts.Link() || byName.Link()) return DeleteByHandle(object.Get());
    bool all = true;
    if (facts.Folder()) {
        for (const std::wstring& name : NamesIn(object.Get())) all = RemoveNoFollow(path + L"\\" + name) && all;
    }
    if (DeleteByHandle(object.Get())) return all;
    // A read-only file or folder is deleted once it is no longer read-only.
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    if (!::SetFileInformationByHandle(object.Get(), FileBasicInfo, &basic, sizeof basic)) return false;
    return DeleteByHandle(object.Get()) && all;
}

bool RemoveContentsOf(HANDLE folder, const std::wstring& path) {
    bool all = true;
    for (const std::wstring& name : NamesIn(folder)) all = RemoveNoFollow(path + L"\\" + name) && all;
    return all && NamesIn(folder).empty();
}

bool RemoveEntries(const std::wstring& folder, const std::function<bool(const FolderEntry&)>& keep) {
    bool all = true;
    ListFolder(folder, L"*", [&](const FolderEntry& entry) {
        if (!keep(entry)) all = RemoveNoFollow(entry.path) && all;
    });
    return all;
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
        const OwnerRule administratorsOnly;
        const ObjectFacts facts = FactsOf(handle.Get(), {}, &administratorsOnly);
        if (!facts.known || !facts.Folder()) {
            reason = L"not a folder: " + folder;
            return {};
        }
        if (facts.Link() || byName.Link()) {
            // A link an administrator made (as Windows makes some) leads where it always led;
            // one anybody else made could lead anywhere.
            if (facts.owner != OwnerKind::Trusted) {
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

UniqueHandle OpenNoFollow(const std::wstring& path, DWORD access, DWORD share, ObjectFacts& facts,
                          const OwnerRule& owners) {
    UniqueHandle handle = OpenNoFollow(path, access | READ_CONTROL | FILE_READ_ATTRIBUTES, share);
    if (!handle) {
        facts = ObjectFacts{};
        facts.error = ::GetLastError();
        return handle;
    }
    facts = FactsOf(handle.Get(), path, &owners);
    return handle;
}

UniqueHandle OpenRelative(HANDLE folder, const std::wstring& name, const RelativeOpen& how, DWORD& error,
                          bool* created) {
    using NtCreateFileFn = LONG(NTAPI*)(PHANDLE, ACCESS_MASK, POBJECT_ATTRIBUTES, PIO_STATUS_BLOCK, PLARGE_INTEGER,
                                        ULONG, ULONG, ULONG, ULONG, PVOID, ULONG);
    using RtlNtStatusToDosErrorFn = ULONG(NTAPI*)(LONG);
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    const auto create = ProcAddress<NtCreateFileFn>(ntdll, "NtCreateFile");
    const auto toError = ProcAddress<RtlNtStatusToDosErrorFn>(ntdll, "RtlNtStatusToDosError");
    if (created) *created = false;
    error = ERROR_PROC_NOT_FOUND;
    if (!create || !toError) return UniqueHandle();
    // A bare name only: a backslash or ".." would reach past the held folder.
    error = ERROR_INVALID_NAME;
    if (name.empty() || name == L"." || name == L".." || name.find_first_of(L"\\/") != std::wstring::npos ||
        name.size() > 0x7fff / sizeof(wchar_t))
        return UniqueHandle();

    std::wstring buffer = name;
    UNICODE_STRING unicodeName;
    unicodeName.Buffer = &buffer[0];
    unicodeName.Length = static_cast<USHORT>(buffer.size() * sizeof(wchar_t));
    unicodeName.MaximumLength = unicodeName.Length;
    OBJECT_ATTRIBUTES attributes;
    InitializeObjectAttributes(&attributes, &unicodeName, OBJ_CASE_INSENSITIVE, folder, how.security);
    IO_STATUS_BLOCK status{};
    HANDLE raw = nullptr;
    constexpr ULONG kOpen = 1, kCreate = 2, kOpenIf = 3;
    constexpr ULONG kDirectory = 0x1, kSynchronousNonAlert = 0x20, kNonDirectory = 0x40, kOpenReparsePoint = 0x200000;
    constexpr ULONG_PTR kFileCreated = 2;
    const ULONG disposition = how.disposition == RelativeOpen::Disposition::Open     ? kOpen
                              : how.disposition == RelativeOpen::Disposition::Create ? kCreate
                                                                                     : kOpenIf;
    const ULONG kind = how.kind == RelativeOpen::Kind::Folder ? kDirectory : kNonDirectory;
    const LONG result = create(&raw, how.access | SYNCHRONIZE | READ_CONTROL | FILE_READ_ATTRIBUTES, &attributes,
                               &status, nullptr, FILE_ATTRIBUTE_NORMAL, how.share, disposition,
                               kSynchronousNonAlert | kind | kOpenReparsePoint, nullptr, 0);
    if (result < 0) {
        error = toError(result);
        return UniqueHandle();
    }
    error = ERROR_SUCCESS;
    if (created) *created = status.Information == kFileCreated;
    return UniqueHandle(raw);
}

UniqueHandle OpenInFolder(HANDLE folder, const std::wstring& name, DWORD access, DWORD share, bool openIf,
                          DWORD& error) {
    RelativeOpen how;
    how.disposition = openIf ? RelativeOpen::Disposition::OpenOrCreate : RelativeOpen::Disposition::Open;
    how.access = access;
    how.share = share;
    return OpenRelative(folder, name, how, error);
}

std::wstring WithLastError(const std::wstring& what) {
    const DWORD error = ::GetLastError();
    return what + L" (error " + std::to_wstring(error) + L")";
}

}  // namespace util::files
