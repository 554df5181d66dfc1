// The way to a place made and held folder by folder, on real (Wine) objects.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "files/AccessLists.h"
#include "files/FolderChain.h"
#include "files/ObjectFacts.h"
#include "testing/TempFolder.h"
#include "text/LongPath.h"
#include "win/ProcessToken.h"

namespace {

using util::files::FolderChain;
using util::testing::TempFolder;

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(util::text::LongPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(FolderChainTest, MissingFoldersAreMadeWithTheirListAndEveryFolderIsHeld) {
    TempFolder root(L" 链 (a)&b");
    ASSERT_TRUE(::CreateDirectoryW((root.Path() + L"\\there").c_str(), nullptr));
    const std::wstring user = util::win::CurrentUserSid();
    util::files::AccessList made;
    ASSERT_TRUE(made.BuildFrom(util::files::MadeFolderSddl(user, true)));
    // Deep enough to pass MAX_PATH below the made folders.
    std::wstring path = root.Path() + L"\\there\\新";
    while (path.size() < 300) path += L"\\" + std::wstring(40, L'd');
    FolderChain chain;
    std::wstring reason;
    ASSERT_TRUE(util::files::MakeFolderChain(path, made.Descriptor(), chain, reason)) << reason;
    const util::text::PathParts parts = util::text::SplitFullPath(path);
    ASSERT_EQ(chain.held.size(), parts.names.size() + 1);  // the root too
    const util::text::PathParts existing = util::text::SplitFullPath(root.Path() + L"\\there");
    EXPECT_EQ(chain.firstMade, existing.names.size() + 1);
    EXPECT_TRUE(IsFolder(path));

    // Wine keeps no list given at creation (AccessListsTest holds the list itself); what it
    // shows must at least not open the made folder to everybody.
    EXPECT_EQ(util::files::AccessListOf(util::text::LongPath(path)).find(L";WD)"), std::wstring::npos);

    // Held: neither the made folders nor the ones that were there can be renamed away.
    EXPECT_FALSE(::MoveFileW((root.Path() + L"\\there").c_str(), (root.Path() + L"\\moved").c_str()));
    EXPECT_FALSE(::MoveFileW(util::text::LongPath(root.Path() + L"\\there\\新").c_str(),
                             util::text::LongPath(root.Path() + L"\\there\\moved").c_str()));
    chain = FolderChain{};
    EXPECT_TRUE(::MoveFileW((root.Path() + L"\\there").c_str(), (root.Path() + L"\\moved").c_str()));

    // Everything there already: nothing made, the same folders held.
    ASSERT_TRUE(util::files::MakeFolderChain(root.Path() + L"\\moved", made.Descriptor(), chain, reason)) << reason;
    EXPECT_FALSE(chain.Made());
}

TEST(FolderChainTest, AFileOnTheWayOrNoFullPathIsRefusedAndNothingIsHeld) {
    TempFolder root;
    ::CloseHandle(::CreateFileW((root.Path() + L"\\afile").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                nullptr));
    FolderChain chain;
    std::wstring reason;
    EXPECT_FALSE(util::files::MakeFolderChain(root.Path() + L"\\afile\\sub", nullptr, chain, reason));
    EXPECT_EQ(reason, L"not a folder: " + root.Path() + L"\\afile");
    EXPECT_TRUE(chain.held.empty());
    EXPECT_FALSE(IsFolder(root.Path() + L"\\afile\\sub"));
    EXPECT_FALSE(util::files::MakeFolderChain(L"relative\\path", nullptr, chain, reason));
    EXPECT_EQ(reason, L"not a full path: relative\\path");
}

TEST(FolderChainTest, ReparsePointsThatNameAnotherPlaceAreLinksOthersAreNot) {
    util::files::ObjectFacts facts;
    facts.known = true;
    facts.attributes = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    for (DWORD tag : {DWORD{IO_REPARSE_TAG_MOUNT_POINT}, DWORD{IO_REPARSE_TAG_SYMLINK}, DWORD{0} /* unread */}) {
        facts.reparseTag = tag;
        EXPECT_TRUE(facts.LeadsElsewhere()) << std::hex << tag;
    }
    // A cloud placeholder (a synced desktop), deduplicated and system-compressed data.
    for (DWORD tag : {DWORD{0x9000601A}, DWORD{IO_REPARSE_TAG_DEDUP}, DWORD{0x80000017}}) {
        facts.reparseTag = tag;
        EXPECT_FALSE(facts.LeadsElsewhere()) << std::hex << tag;
    }
    facts.attributes = FILE_ATTRIBUTE_DIRECTORY;
    facts.linkByName = true;  // the entry shows a link the opening followed
    facts.reparseTag = 0;
    EXPECT_TRUE(facts.LeadsElsewhere());
}

}  // namespace
