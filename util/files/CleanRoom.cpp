#include "files/CleanRoom.h"

#include <aclapi.h>

#include <vector>

#include "files/AccessLists.h"
#include "files/FolderWalker.h"
#include "files/NoFollow.h"
#include "files/TrustedFolder.h"
#include "text/LongPath.h"
#include "win/ProcAddress.h"
#include "win/Sha256.h"

namespace util::files {

namespace {

constexpr size_t kDigits = 16;

// 64 bits from the system's generator (advapi32, a known DLL; bcrypt is none on Windows 7).
bool RandomNumber(unsigned long long& number) {
    using RtlGenRandomFn = BOOLEAN(WINAPI*)(PVOID, ULONG);
    const auto generate = win::ProcAddress<RtlGenRandomFn>(::GetModuleHandleW(L"advapi32.dll"), "SystemFunction036");
    return generate && generate(&number, sizeof number);
}

bool ListOnlyTrustedMayChange(HANDLE object, const OwnerRule& owners) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(object, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, nullptr, nullptr,
                          &descriptor) != ERROR_SUCCESS)
        return false;
    const bool only = OnlyTrustedMayChange(descriptor, owners);
    ::LocalFree(descriptor);
    return only;
}

bool WriteNewFile(const std::wstring& path, const std::vector<char>& bytes) {
    win::UniqueHandle file(::CreateFileW(text::LongPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    size_t at = 0;
    while (at < bytes.size()) {
        const DWORD part = static_cast<DWORD>(bytes.size() - at < 0x1000000 ? bytes.size() - at : 0x1000000);
        DWORD written = 0;
        if (!::WriteFile(file.Get(), bytes.data() + at, part, &written, nullptr) || written != part) return false;
        at += part;
    }
    return true;
}

}  // namespace

std::wstring RoomName(const std::wstring& prefix, unsigned long long number) {
    static const wchar_t kHex[] = L"0123456789abcdef";
    std::wstring name = prefix;
    for (int shift = 60; shift >= 0; shift -= 4) name += kHex[(number >> shift) & 15];
    return name;
}

bool IsRoomName(const std::wstring& prefix, const std::wstring& name) {
    if (name.size() != prefix.size() + kDigits || name.compare(0, prefix.size(), prefix) != 0) return false;
    for (size_t i = prefix.size(); i < name.size(); ++i) {
        const wchar_t c = name[i];
        if (!((c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f'))) return false;
    }
    return true;
}

std::wstring RoomSddl() { return L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)"; }

bool CleanRoom::Make(const std::wstring& parent, const std::wstring& prefix, const OwnerRule& owners,
                     std::wstring& why) {
    Remove();
    AccessList list;
    if (!list.BuildFrom(RoomSddl())) {
        why = WithLastError(L"cannot build the clean room's access list");
        return false;
    }
    std::wstring path;
    for (int attempt = 0; attempt < 8 && path.empty(); ++attempt) {
        unsigned long long number = 0;
        if (!RandomNumber(number)) {
            why = WithLastError(L"no random name for the clean room");
            return false;
        }
        const std::wstring candidate = parent + L"\\" + RoomName(prefix, number);
        // An existing name fails: whatever someone made there is never taken for the room.
        if (::CreateDirectoryW(text::LongPath(candidate).c_str(), list.Attributes())) {
            path = candidate;
        } else if (::GetLastError() != ERROR_ALREADY_EXISTS) {
            why = WithLastError(L"cannot make the clean room in " + parent);
            return false;
        }
    }
    if (path.empty()) {
        why = L"cannot make the clean room in " + parent + L": every name tried was taken";
        return false;
    }
    // Held as the engine holds its folders (kHoldShare: nobody deletes or renames it meanwhile),
    // without delete access of its own, so that the engine can hold it too.
    win::UniqueHandle folder = OpenNoFollow(path, kHoldAccess | FILE_TRAVERSE, kHoldShare);
    if (!folder) {
        why = WithLastError(L"cannot hold the clean room " + path);
        return false;
    }
    const ObjectFacts facts = FactsOf(folder.Get(), path, &owners);
    const PlaceVerdict verdict = JudgePlace(facts, true);
    if (verdict != PlaceVerdict::Trusted) {
        why = L"the clean room " + path + L" " + VerdictText(verdict, facts);
        return false;
    }
    if (!IsObjectAt(folder.Get(), path)) {
        why = L"the clean room is not where its path says: " + path;
        return false;
    }
    if (!ListOnlyTrustedMayChange(folder.Get(), owners)) {
        why = L"the clean room's access list lets others than administrators change it: " + path;
        return false;
    }
    path_ = path;
    folder_ = std::move(folder);
    return true;
}

Intake CleanRoom::TakeIn(const std::wstring& source, const std::wstring& relative, const std::string& sha256,
                         size_t maxBytes, std::wstring& why) {
    if (!Made()) {
        why = L"no clean room";
        return Intake::Failed;
    }
    // Shared for reading only: nobody writes, renames or deletes the file while it is read.
    win::UniqueHandle in(::CreateFileW(text::LongPath(source).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!in) {
        const DWORD error = ::GetLastError();
        why = source + L" (error " + std::to_wstring(error) + L")";
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? Intake::Missing : Intake::Unreadable;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(in.Get(), &size) || size.QuadPart < 0) {
        why = WithLastError(source);
        return Intake::Unreadable;
    }
    if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
        why = source + L" is larger than " + std::to_wstring(maxBytes) + L" bytes";
        return sha256.empty() ? Intake::Failed : Intake::Different;
    }
    std::vector<char> bytes(static_cast<size_t>(size.QuadPart));
    size_t at = 0;
    while (at < bytes.size()) {
        DWORD got = 0;
        const DWORD part = static_cast<DWORD>(bytes.size() - at < 0x1000000 ? bytes.size() - at : 0x1000000);
        if (!::ReadFile(in.Get(), bytes.data() + at, part, &got, nullptr) || got == 0) {
            why = WithLastError(L"cannot read " + source);
            return Intake::Unreadable;
        }
        at += got;
    }
    if (!sha256.empty() && win::Sha256OfBytes(bytes.data(), bytes.size()) != sha256) {
        why = source + L" is not the file that shipped";
        return Intake::Different;
    }
    // The folders below the room, inheriting its list.
    std::wstring target = path_;
    size_t from = 0;
    for (size_t slash = relative.find(L'\\'); slash != std::wstring::npos; slash = relative.find(L'\\', from)) {
        target += L"\\" + relative.substr(from, slash - from);
        from = slash + 1;
        if (!::CreateDirectoryW(text::LongPath(target).c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
            why = WithLastError(L"cannot make " + target);
            return Intake::Failed;
        }
    }
    target += L"\\" + relative.substr(from);
    if (!WriteNewFile(target, bytes)) {
        why = WithLastError(L"cannot write " + target);
        return Intake::Failed;
    }
    return Intake::Taken;
}

bool CleanRoom::Remove() {
    if (!folder_) return true;
    const bool emptied = RemoveContentsOf(folder_.Get(), path_);
    folder_.Reset();
    // Only administrators may delete or rename the room: the path still names it.
    const bool removed = emptied && RemoveNoFollow(path_);
    path_.clear();
    return removed;
}

int RemoveLeftRooms(const std::wstring& parent, const std::wstring& prefix, const FILETIME& madeBefore,
                    const OwnerRule& owners) {
    return RemoveTrustedFolders(
        parent, prefix + L"*",
        [&](const FolderEntry& entry) {
            return IsRoomName(prefix, entry.name) && ::CompareFileTime(&entry.lastWrite, &madeBefore) < 0;
        },
        owners);
}

}  // namespace util::files
