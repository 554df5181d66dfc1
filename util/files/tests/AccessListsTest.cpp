// The access lists of what a run writes. Wine keeps no list given at creation (it derives one
// from the Unix mode), so on disk the test can only tell that others are kept out.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "files/AccessLists.h"
#include "files/CleanRoom.h"
#include "files/FileSystem.h"
#include "files/ObjectFacts.h"
#include "testing/TempFolder.h"
#include "win/ProcessToken.h"

namespace {

TEST(AccessListsTest, RunFoldersAreForAdministratorsAloneWhenTheRunIsElevated) {
    EXPECT_EQ(util::files::RunFolderSddl(L"S-1-5-21-9", true), L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)");
    EXPECT_EQ(util::files::RunFolderSddl(L"S-1-5-21-9", false),
              L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;S-1-5-21-9)");
}

// What the user may do in a folder made on the way to the archive, read from the built list.
ACCESS_MASK UserRightsIn(const std::wstring& sddl, const std::wstring& user) {
    util::files::AccessList list;
    if (!list.BuildFrom(sddl)) return 0;
    BOOL present = FALSE, defaulted = FALSE;
    PACL dacl = nullptr;
    if (!::GetSecurityDescriptorDacl(list.Descriptor(), &present, &dacl, &defaulted) || !dacl) return 0;
    ACCESS_MASK rights = 0;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(dacl, i, &ace)) continue;
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        EXPECT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        EXPECT_EQ(allowed->Header.AceFlags & (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE), 0) << "nothing inherits it";
        if (util::files::SidText(&allowed->SidStart) == user) rights |= allowed->Mask;
    }
    return rights;
}

TEST(AccessListsTest, AFolderMadeOnTheWayLetsTheUserTakeTheArchiveButNotReplaceTheFolder) {
    const std::wstring user = L"S-1-5-21-1-2-3-1001";
    const ACCESS_MASK rights = UserRightsIn(util::files::MadeFolderSddl(user, true), user);
    for (ACCESS_MASK needed : {ACCESS_MASK{FILE_LIST_DIRECTORY}, ACCESS_MASK{FILE_TRAVERSE},
                               ACCESS_MASK{FILE_DELETE_CHILD}, ACCESS_MASK{READ_CONTROL}, ACCESS_MASK{SYNCHRONIZE}})
        EXPECT_EQ(rights & needed, needed) << std::hex << needed;
    for (ACCESS_MASK refused : {ACCESS_MASK{DELETE}, ACCESS_MASK{WRITE_DAC}, ACCESS_MASK{WRITE_OWNER},
                                ACCESS_MASK{FILE_ADD_FILE}, ACCESS_MASK{FILE_ADD_SUBDIRECTORY},
                                ACCESS_MASK{FILE_WRITE_ATTRIBUTES}, ACCESS_MASK{FILE_WRITE_EA}})
        EXPECT_EQ(rights & refused, 0u) << std::hex << refused;
    // Administrators and SYSTEM in full; a run without administrator rights keeps full control.
    EXPECT_EQ(UserRightsIn(util::files::MadeFolderSddl(user, true), L"S-1-5-32-544"), ACCESS_MASK{FILE_ALL_ACCESS});
    EXPECT_EQ(UserRightsIn(util::files::MadeFolderSddl(user, false), user), ACCESS_MASK{FILE_ALL_ACCESS});
}

bool OnlyTrusted(const std::wstring& sddl, const util::files::OwnerRule& rule = {}) {
    util::files::AccessList list;
    EXPECT_TRUE(list.BuildFrom(sddl)) << sddl;
    return util::files::OnlyTrustedMayChange(list.Descriptor(), rule);
}

TEST(AccessListsTest, OnlyAdministratorsMayChangeWhatTheirListAloneLetsChange) {
    EXPECT_TRUE(OnlyTrusted(util::files::RoomSddl()));
    EXPECT_TRUE(OnlyTrusted(L"D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FR;;;BU)(A;;0x1200a9;;;WD)")) << "reading is no change";
    EXPECT_TRUE(OnlyTrusted(L"D:P(A;;FA;;;BA)(A;OICIIO;FA;;;CO)")) << "passed on to what is made inside only";
    EXPECT_TRUE(OnlyTrusted(L"D:P(D;;FA;;;BU)(A;;FA;;;BA)"));
    for (const wchar_t* change : {L"FA", L"FW", L"GA", L"GW", L"0x40" /* delete child */, L"0x10000" /* delete */,
                                  L"0x40000" /* list */, L"0x80000" /* owner */, L"0x100" /* attributes */})
        EXPECT_FALSE(OnlyTrusted(L"D:P(A;;FA;;;BA)(A;;" + std::wstring(change) + L";;;BU)")) << change;
    // No list at all lets everybody in (an empty one lets nobody).
    SECURITY_DESCRIPTOR open{};
    ASSERT_TRUE(::InitializeSecurityDescriptor(&open, SECURITY_DESCRIPTOR_REVISION));
    ASSERT_TRUE(::SetSecurityDescriptorDacl(&open, TRUE, nullptr, FALSE));
    EXPECT_FALSE(util::files::OnlyTrustedMayChange(&open, {}));
    EXPECT_TRUE(OnlyTrusted(L"D:P"));
    EXPECT_FALSE(OnlyTrusted(L"D:P(A;;FA;;;BA)(A;;FA;;;S-1-5-21-1-2-3-1001)"));
    EXPECT_TRUE(OnlyTrusted(L"D:P(A;;FA;;;BA)(A;;FA;;;S-1-5-21-1-2-3-1001)", {{L"S-1-5-21-1-2-3-1001"}, {}}));
    // The user the run is for is still no administrator.
    EXPECT_FALSE(OnlyTrusted(L"D:P(A;;FA;;;BA)(A;;FA;;;S-1-5-21-1-2-3-1001)", {{}, L"S-1-5-21-1-2-3-1001"}));
}

TEST(AccessListsTest, FoldersAndTheArchiveOpenOnlyToSystemAdministratorsAndTheUser) {
    const std::wstring user = util::win::CurrentUserSid();
    ASSERT_FALSE(user.empty());
    const std::wstring expected = util::files::PrivateAccessSddl(user);
    EXPECT_EQ(expected, L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + user + L")");

    // Windows keeps the list as given. Wine keeps file permissions as Unix modes and reads back
    // what they allow: there the check is that nobody but the user and SYSTEM gets in, where an
    // ordinary folder lets everybody read.
    const std::wstring userEntry = L"FA;;;" + user + L")";
    auto isPrivate = [&](const std::wstring& sddl) {
        return sddl == expected || (sddl.find(userEntry) != std::wstring::npos && sddl.find(L"FA;;;SY)") != std::wstring::npos &&
                                    sddl.find(L";WD)") == std::wstring::npos && sddl.find(L";BU)") == std::wstring::npos &&
                                    sddl.find(L";AU)") == std::wstring::npos);
    };

    util::testing::TempFolder parent(L" 私有");
    util::files::AccessList access;
    ASSERT_TRUE(access.Build());
    // Folders made along an archive path get the list; one that was there keeps its own.
    const std::wstring before = util::files::AccessListOf(parent.Path());
    EXPECT_FALSE(isPrivate(before)) << "an ordinary folder is open to others: " << before;
    const std::wstring made = parent.Path() + L"\\a\\b";
    ASSERT_EQ(util::files::EnsureFolderTree(made + L"\\信息收集.7z", access.Attributes()), 1);
    EXPECT_TRUE(isPrivate(util::files::AccessListOf(parent.Path() + L"\\a"))) << util::files::AccessListOf(parent.Path() + L"\\a");
    EXPECT_TRUE(isPrivate(util::files::AccessListOf(made))) << util::files::AccessListOf(made);
    EXPECT_EQ(util::files::AccessListOf(parent.Path()), before);

    // An archive in a folder of the user's own gets the list explicitly.
    const std::wstring archive = parent.Path() + L"\\信息收集.7z";
    HANDLE file = ::CreateFileW(archive.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ::CloseHandle(file);
    EXPECT_FALSE(isPrivate(util::files::AccessListOf(archive)));
    ASSERT_TRUE(access.ApplyTo(archive));
    // Wine accepts a new list for an existing file but does not turn it into the file's Unix
    // mode, so only Windows can show it here.
    if (::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) return;
    EXPECT_TRUE(isPrivate(util::files::AccessListOf(archive))) << util::files::AccessListOf(archive);
}

}  // namespace
