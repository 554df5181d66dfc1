#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "LogSave.h"
#include "TempFolder.h"

namespace {

using skelda::testing::TempFolder;

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

size_t CountLines(const std::string& content, const std::string& text) {
    size_t n = 0;
    for (size_t pos = content.find(text); pos != std::string::npos; pos = content.find(text, pos + 1)) ++n;
    return n;
}

TEST(LogSaveTest, FolderBesideConfigAndEntriesAppended) {
    TempFolder appData;
    {
        CLogSave log(appData.Path());
        EXPECT_EQ(log.LogFolder(), appData.Path() + L"\\ToolLog\\");
        log.Write("first", "Skelda.txt", true);
    }
    {
        CLogSave log(appData.Path() + L"\\");  // a second process, a second object
        log.Write("second", "Skelda.txt", true);
    }
    const std::string content = ReadAll(appData.Path() + L"\\ToolLog\\Skelda.txt");
    EXPECT_TRUE(std::regex_match(content, std::regex(R"(\[[^\]]*\]   first\r\r\n\[[^\]]*\]   second\r\r\n)")))
        << content;
}

TEST(LogSaveTest, PrintSwitchGovernsOnlyEntriesWithoutForce) {
    TempFolder off;
    {
        CLogSave log(off.Path());  // no logCfg.ini at all
        EXPECT_FALSE(log.PrintEnabled());
        log.Write("dropped", "Skelda.txt", false);
        log.Write("forced", "Skelda.txt", true);
    }
    const std::string offContent = ReadAll(off.Path() + L"\\ToolLog\\Skelda.txt");
    EXPECT_EQ(CountLines(offContent, "dropped"), 0u);
    EXPECT_EQ(CountLines(offContent, "forced"), 1u);

    TempFolder on;
    WriteAll(on.Path() + L"\\logCfg.ini", "[Log]\r\nprint= 1 \r\n");
    CLogSave log(on.Path());
    EXPECT_TRUE(log.PrintEnabled());
    log.Write("kept", "Skelda.txt", false);
    EXPECT_EQ(CountLines(ReadAll(on.Path() + L"\\ToolLog\\Skelda.txt"), "kept"), 1u);
}

TEST(LogSaveTest, RollOverOnlyAboveTheLimitAndReplacesTheOldBackup) {
    TempFolder appData;
    CLogSave log(appData.Path());
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
    CLogSave log(appData.Path());
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

TEST(LogSaveTest, MissingFolderDropsEntriesSilently) {
    TempFolder appData;
    const char* before = std::setlocale(LC_CTYPE, nullptr);
    const std::string localeBefore = before ? before : "";
    CLogSave log(appData.Path());
    ASSERT_TRUE(::RemoveDirectoryW((appData.Path() + L"\\ToolLog").c_str()));
    log.Write("lost", "Skelda.txt", true);
    EXPECT_EQ(::GetFileAttributesW((appData.Path() + L"\\ToolLog").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(std::string(std::setlocale(LC_CTYPE, nullptr)), localeBefore);
}

TEST(LogSaveTest, AFileNamedToolLogBlocksTheFolderAndEveryWrite) {
    TempFolder appData;
    WriteAll(appData.Path() + L"\\ToolLog", "not a folder");
    CLogSave log(appData.Path());
    log.Write("lost", "Skelda.txt", true);
    EXPECT_EQ(ReadAll(appData.Path() + L"\\ToolLog"), "not a folder");
}

}  // namespace
