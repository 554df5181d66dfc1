#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include <clocale>
#include <cstring>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "toollog/LogSave.h"
#include "files/AccessLists.h"
#include "testing/TempFolder.h"
#include "win/ProcessToken.h"

namespace {

using util::testing::TempFolder;

std::string ReadAll(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteAll(const std::wstring& path, const std::string& bytes) {
    std::ofstream out(path.c_str(), std::ios::binary | std::ios::trunc);
    out << bytes;
}

const std::regex kLine(R"(\[\d{4}-\d\d-\d\d \d\d:\d\d:\d\d \d{3}ms\]   [^\r\n]*\r\r\n)");

// Wine reports the user who runs it as the owner of every file, the log's own folder
// included, so these tests trust their user besides SYSTEM, Administrators and TrustedInstaller.
std::vector<std::wstring> TestUser() { return {util::win::CurrentUserSid()}; }

// A folder (bytes null) or file owned by the test's user, whoever's default owner would be
// otherwise (an elevated administrator's is the Administrators group).
bool MadeByUser(const std::wstring& path, const char* bytes) {
    const std::wstring sddl = L"O:" + util::win::CurrentUserSid() + L"D:(A;OICI;FA;;;WD)";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr))
        return false;
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), descriptor, FALSE};
    bool made = false;
    if (!bytes) {
        made = ::CreateDirectoryW(path.c_str(), &attributes) != FALSE;
    } else {
        HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, &attributes, CREATE_NEW, 0, nullptr);
        DWORD written = 0;
        made = file != INVALID_HANDLE_VALUE && ::WriteFile(file, bytes, static_cast<DWORD>(strlen(bytes)), &written, nullptr);
        if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    }
    ::LocalFree(descriptor);
    return made;
}

size_t CountLines(const std::string& content, const std::string& text) {
    size_t n = 0;
    for (size_t pos = content.find(text); pos != std::string::npos; pos = content.find(text, pos + 1)) ++n;
    return n;
}

TEST(LogSaveTest, FolderBesideConfigAndEntriesAppended) {
    TempFolder appData;
    {
        CLogSave log(appData.Path(), TestUser());
        EXPECT_EQ(log.LogFolder(), appData.Path() + L"\\ToolLog\\");
        log.Write("first", "Skelda.txt", true);
    }
    {
        CLogSave log(appData.Path() + L"\\", TestUser());  // a second process, a second object
        log.Write("second", "Skelda.txt", true);
    }
    const std::string content = ReadAll(appData.Path() + L"\\ToolLog\\Skelda.txt");
    EXPECT_TRUE(std::regex_match(content, std::regex(R"(\[[^\]]*\]   first\r\r\n\[[^\]]*\]   second\r\r\n)")))
        << content;
}

TEST(LogSaveTest, PrintSwitchGovernsOnlyEntriesWithoutForce) {
    TempFolder off;
    {
        CLogSave log(off.Path(), TestUser());  // no logCfg.ini at all
        EXPECT_FALSE(log.PrintEnabled());
        log.Write("dropped", "Skelda.txt", false);
        log.Write("forced", "Skelda.txt", true);
    }
    const std::string offContent = ReadAll(off.Path() + L"\\ToolLog\\Skelda.txt");
    EXPECT_EQ(CountLines(offContent, "dropped"), 0u);
    EXPECT_EQ(CountLines(offContent, "forced"), 1u);

    TempFolder on;
    WriteAll(on.Path() + L"\\logCfg.ini", "[Log]\r\nprint= 1 \r\n");
    CLogSave log(on.Path(), TestUser());
    EXPECT_TRUE(log.PrintEnabled());
    log.Write("kept", "Skelda.txt", false);
    EXPECT_EQ(CountLines(ReadAll(on.Path() + L"\\ToolLog\\Skelda.txt"), "kept"), 1u);
}

TEST(LogSaveTest, RollOverOnlyAboveTheLimitAndReplacesTheOldBackup) {
    TempFolder appData;
    CLogSave log(appData.Path(), TestUser());
    const std::wstring file = appData.Path() + L"\\ToolLog\\Skelda.txt";
    const std::wstring backup = file + L"bak";
    const size_t lineBytes = 30 + 1 + 3;  // stamp with blanks, "x", CR CR LF

    WriteAll(file, std::string(6020000 - lineBytes, 'a'));
    log.Write("x", "Skelda.txt", true);
    EXPECT_EQ(ReadAll(file).size(), 6020000u);
    EXPECT_EQ(::GetFileAttributesW(backup.c_str()), INVALID_FILE_ATTRIBUTES);

    WriteAll(backup, "old backup");
    WriteAll(file, std::string(6020000 - lineBytes + 1, 'b'));
    log.Write("x", "Skelda.txt", true);
    EXPECT_EQ(::GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadAll(backup).size(), 6020001u);

    log.Write("fresh", "Skelda.txt", true);
    EXPECT_EQ(ReadAll(file).size(), 30u + 5 + 3);
}

TEST(LogSaveTest, TwoThreadsWritingAtOnceGiveWholeLines) {
    TempFolder appData;
    CLogSave log(appData.Path(), TestUser());
    const int perThread = 300;
    auto writer = [&log](const std::string& text) {
        for (int i = 0; i < perThread; ++i) log.Write(text, "Skelda.txt", true);
    };
    std::thread a(writer, std::string(200, 'A'));
    std::thread b(writer, std::string(200, 'B'));
    a.join();
    b.join();

    const std::string content = ReadAll(appData.Path() + L"\\ToolLog\\Skelda.txt");
    size_t lines = 0;
    for (std::sregex_iterator it(content.begin(), content.end(), kLine), end; it != end; ++it) {
        const std::string line = it->str();
        EXPECT_TRUE(line.find(std::string(200, 'A')) != std::string::npos ||
                    line.find(std::string(200, 'B')) != std::string::npos);
        ++lines;
    }
    EXPECT_EQ(lines, 2u * perThread);
    EXPECT_EQ(content.size(), 2u * perThread * (30 + 200 + 3));
}

TEST(LogSaveTest, TheFolderStaysHeldSoThatNothingTakesItsPlace) {
    TempFolder appData;
    const char* before = std::setlocale(LC_CTYPE, nullptr);
    const std::string localeBefore = before ? before : "";
    CLogSave log(appData.Path(), TestUser());
    const std::wstring folder = appData.Path() + L"\\ToolLog";
    EXPECT_FALSE(::RemoveDirectoryW(folder.c_str()));
    EXPECT_FALSE(::MoveFileW(folder.c_str(), (appData.Path() + L"\\Elsewhere").c_str()));
    log.Write("kept", "Skelda.txt", true);
    EXPECT_EQ(CountLines(ReadAll(folder + L"\\Skelda.txt"), "kept"), 1u);
    EXPECT_EQ(std::string(std::setlocale(LC_CTYPE, nullptr)), localeBefore);
    EXPECT_EQ(log.Distrust(), L"");
}

TEST(LogSaveTest, AFileNamedToolLogBlocksTheFolderAndEveryWrite) {
    TempFolder appData;
    WriteAll(appData.Path() + L"\\ToolLog", "not a folder");
    CLogSave log(appData.Path(), TestUser());
    log.Write("lost", "Skelda.txt", true);
    EXPECT_EQ(ReadAll(appData.Path() + L"\\ToolLog"), "not a folder");
    EXPECT_EQ(log.Distrust(), L"tool log off: " + appData.Path() + L"\\ToolLog is not a folder");
}

// A user made the folder and the settings before the engine first ran, as any user may in the
// common application-data folder: nothing is written there and no setting is taken.
TEST(LogSaveTest, AFolderAndSettingsMadeByAUserAreNotUsed) {
    TempFolder appData;
    const std::wstring folder = appData.Path() + L"\\ToolLog";
    ASSERT_TRUE(MadeByUser(folder, nullptr));
    ASSERT_TRUE(MadeByUser(appData.Path() + L"\\logCfg.ini", "[Log]\r\nprint=1\r\n[Limits]\r\nRunSeconds=1\r\n"));
    const std::wstring user = util::win::CurrentUserSid();
    {
        CLogSave log(appData.Path());  // SYSTEM, Administrators and TrustedInstaller only
        EXPECT_FALSE(log.PrintEnabled());
        EXPECT_EQ(log.Settings().Value(L"Limits", L"RunSeconds"), std::nullopt);
        log.Write("planted", "Skelda.txt", true);
        const std::wstring why = L" is owned by " + user + L", not by SYSTEM, Administrators or TrustedInstaller";
        EXPECT_EQ(log.Distrust(), L"tool log off: " + folder + why + L"; logCfg.ini ignored: " + appData.Path() +
                                      L"\\logCfg.ini" + why);
    }
    EXPECT_EQ(::GetFileAttributesW((folder + L"\\Skelda.txt").c_str()), INVALID_FILE_ATTRIBUTES);

    // The control: the same places owned by a trusted owner are used.
    CLogSave trusting(appData.Path(), TestUser());
    EXPECT_TRUE(trusting.PrintEnabled());
    EXPECT_EQ(trusting.Settings().Value(L"Limits", L"RunSeconds"), std::wstring(L"1"));
    EXPECT_EQ(trusting.Distrust(), L"");
}

// A file of the log that has a second name elsewhere (a hard link a user put there before the
// folder was locked down) is not written through.
TEST(LogSaveTest, ALogFileWithASecondNameIsNotWrittenThrough) {
    TempFolder appData;
    TempFolder elsewhere;
    const std::wstring target = elsewhere.Path() + L"\\protected.txt";
    WriteAll(target, "keep me");
    CLogSave log(appData.Path(), TestUser());
    ASSERT_TRUE(::CreateHardLinkW((appData.Path() + L"\\ToolLog\\Skelda.txt").c_str(), target.c_str(), nullptr));
    log.Write("through the link", "Skelda.txt", true);
    EXPECT_EQ(ReadAll(target), "keep me");
    // A log made later finds it at once, and says so.
    CLogSave later(appData.Path(), TestUser());
    EXPECT_EQ(later.Distrust(), L"tool log off: " + appData.Path() + L"\\ToolLog\\Skelda.txt has more than one name (hard link)");
    log.Write("elsewhere", "..\\Skelda.txt", true);
    EXPECT_EQ(::GetFileAttributesW((appData.Path() + L"\\Skelda.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
