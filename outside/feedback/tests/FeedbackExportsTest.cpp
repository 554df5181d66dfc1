// The shipped feedback library, loaded from a copy in a folder of its own so that each test
// decides which version file lies beside it.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "DistFolder.h"
#include "FeedbackRecord.h"
#include "OrvaneFeedbackInformation.h"
#include "win/ProcAddress.h"
#include "win/ProcessToken.h"
#include "testing/TempFolder.h"
#include "testing/TrustedUser.h"
#include "TimeText.h"

namespace {

using ToolVersionFn = int(__cdecl*)(const wchar_t*, const wchar_t*);
using NoArgsFn = int(__cdecl*)();
using OpenUrlFn = int(__cdecl*)(const wchar_t*);
using FeedbackExFn = int(__cdecl*)(const wchar_t*, const wchar_t*, int, wchar_t*);
using FeedbackFn = int(__cdecl*)(const wchar_t*, const wchar_t*, int);
using WriteFileFn = int(__cdecl*)(const wchar_t*, const wchar_t*, int, const wchar_t*);

std::string ReadAll(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteAll(const std::wstring& path, const std::string& bytes) {
    std::ofstream(path.c_str(), std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    size_t start = 0;
    for (size_t pos; (pos = text.find(separator, start)) != std::string::npos; start = pos + separator.size()) {
        parts.push_back(text.substr(start, pos - start));
    }
    parts.push_back(text.substr(start));
    return parts;
}

using util::testing::TrustedUser;

int64_t NowSeconds() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return outside::UnixSecondsFromFileTime(now);
}

class FeedbackExportsTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring copy = folder_.Path() + L"\\OrvaneFeedbackInformation.dll";
        ASSERT_TRUE(::CopyFileW((outside::testing::DistFolder() + L"\\OrvaneFeedbackInformation.dll").c_str(),
                                copy.c_str(), FALSE))
            << ::GetLastError();
        module_ = ::LoadLibraryW(copy.c_str());
        ASSERT_NE(module_, nullptr) << ::GetLastError();
    }
    void TearDown() override {
        if (module_) ::FreeLibrary(module_);
    }

    template <typename F>
    F Find(const char* name) {
        F f = util::win::ProcAddress<F>(module_, name);
        EXPECT_NE(f, nullptr) << name;
        return f;
    }

    void PutVersionFile(const std::string& bytes) { WriteAll(VersionFilePath(), bytes); }
    std::wstring VersionFilePath() const { return folder_.Path() + L"\\OrvaneFeedbackInformation.ini"; }

    util::testing::TempFolder folder_;
    HMODULE module_ = nullptr;
};

TEST_F(FeedbackExportsTest, EveryExportIsFoundByItsPlainName) {
    for (const char* name : {"FeedbackQuestion", "OpenUrl", "GetInterNetState", "CustomerFeedback",
                             "CustomerFeedbackEx", "WriteCustomerFeedbackInfoFile", "GetToolIsNewVersion",
                             "OpenToolDownUrl"}) {
        EXPECT_NE(::GetProcAddress(module_, name), nullptr) << name;
    }
    const int online = Find<NoArgsFn>("GetInterNetState")();
    EXPECT_TRUE(online == 0 || online == 1);
}

TEST_F(FeedbackExportsTest, NewerVersionOnlyFromAWellFormedFileBesideTheLibrary) {
    auto newVersion = Find<ToolVersionFn>("GetToolIsNewVersion");
    ASSERT_TRUE(newVersion);
    EXPECT_EQ(newVersion(L"Skelda", L"V 1.0"), TOOL_VERSION_UNKNOWN) << "no file";

    PutVersionFile("[Version]\r\nLatest=1.0.1\r\n");
    EXPECT_EQ(newVersion(L"Skelda", L"V 1.0"), TOOL_VERSION_NEWER);
    PutVersionFile("[Version]\r\nLatest=1.0\r\n");
    EXPECT_EQ(newVersion(L"Skelda", L"V 1.0"), TOOL_VERSION_CURRENT);
    PutVersionFile("[Version]\r\nLatest=0.9\r\n");
    EXPECT_EQ(newVersion(L"Skelda", L"V 1.0"), TOOL_VERSION_AHEAD);

    PutVersionFile("[Version]\r\nLatest=2.0 beta\r\n");
    EXPECT_EQ(newVersion(L"Skelda", L"V 1.0"), TOOL_VERSION_UNKNOWN) << "malformed";
    PutVersionFile("[Version]\r\nLatest=2.0\r\nDownloadUrl=file:///C:/x.exe\r\n");
    EXPECT_EQ(newVersion(L"Skelda", L"V 1.0"), TOOL_VERSION_UNKNOWN) << "malformed address";
    PutVersionFile("\x89PNG\r\n\x1A\n\xFF\xFF\xFF");
    EXPECT_EQ(newVersion(L"Skelda", L"V 1.0"), TOOL_VERSION_UNKNOWN) << "not text";
    PutVersionFile("");
    EXPECT_EQ(newVersion(L"Skelda", L"V 1.0"), TOOL_VERSION_UNKNOWN) << "empty";

    PutVersionFile("[Version]\r\nLatest=2.0\r\n");
    EXPECT_EQ(newVersion(nullptr, nullptr), TOOL_VERSION_UNKNOWN);
    ASSERT_TRUE(::DeleteFileW(VersionFilePath().c_str()));
    EXPECT_EQ(newVersion(L"Skelda", L"V 1.0"), TOOL_VERSION_UNKNOWN) << "file removed again";
}

TEST_F(FeedbackExportsTest, NothingOpensWithoutAWebAddress) {
    auto download = Find<NoArgsFn>("OpenToolDownUrl");
    auto question = Find<ToolVersionFn>("FeedbackQuestion");
    auto openUrl = Find<OpenUrlFn>("OpenUrl");
    ASSERT_TRUE(download && question && openUrl);

    EXPECT_EQ(download(), 0) << "no file";
    EXPECT_EQ(question(L"Skelda", L"V 1.0"), 0);
    PutVersionFile("[Version]\r\nLatest=9.0\r\n");
    EXPECT_EQ(download(), 0) << "no addresses in the file";
    EXPECT_EQ(question(L"Skelda", L"V 1.0"), 0);
    PutVersionFile("[Version]\r\nDownloadUrl=C:\\Windows\\notepad.exe\r\nFeedbackUrl=https://h/\r\n");
    EXPECT_EQ(download(), 0) << "malformed file";
    EXPECT_EQ(question(L"Skelda", L"V 1.0"), 0);

    EXPECT_EQ(openUrl(nullptr), 0);
    EXPECT_EQ(openUrl(L""), 0);
    EXPECT_EQ(openUrl(L"C:\\Windows\\notepad.exe"), 0);
    EXPECT_EQ(openUrl(L"file:///C:/Windows/notepad.exe"), 0);
}

// Other programs of the prefix may write to the shared record at the same time: this test
// looks only at the lines of tool names of its own.
TEST_F(FeedbackExportsTest, RecordGetsOneLinePerAnswerWithCodeAndTime) {
    const TrustedUser trusted;
    ASSERT_TRUE(trusted.Set());
    auto feedbackEx = Find<FeedbackExFn>("CustomerFeedbackEx");
    auto feedback = Find<FeedbackFn>("CustomerFeedback");
    auto writeFile = Find<WriteFileFn>("WriteCustomerFeedbackInfoFile");
    ASSERT_TRUE(feedbackEx && feedback && writeFile);
    const std::wstring record = outside::RecordFilePath();
    ASSERT_FALSE(record.empty());
    const std::wstring pid = std::to_wstring(::GetCurrentProcessId());
    const std::wstring tool = L"OutsideTest-" + pid;
    const std::wstring chineseTool = L"工具-" + pid;

    wchar_t time1[16] = L"1577836800";
    wchar_t time2[16] = L"1577836801";
    wchar_t notATime[16] = L"soon";
    const int64_t before = NowSeconds();
    EXPECT_EQ(feedbackEx(tool.c_str(), L"V 1.0", FEEDBACK_CLOSED, time1), 1);
    EXPECT_EQ(feedbackEx(tool.c_str(), L"V 1.0", FEEDBACK_SOLVED, time2), 1);
    EXPECT_EQ(feedbackEx(tool.c_str(), L"V 1.0", FEEDBACK_UNSOLVED, notATime), 1);  // recorded at the call
    EXPECT_EQ(feedback(chineseTool.c_str(), L"V 1.0", FEEDBACK_SOLVED), 1);
    EXPECT_EQ(writeFile(tool.c_str(), L"V 1.0", FEEDBACK_CLOSED, nullptr), 1);
    const int64_t after = NowSeconds();
    EXPECT_EQ(feedbackEx(nullptr, L"V 1.0", FEEDBACK_SOLVED, time1), 0);
    EXPECT_EQ(feedbackEx(tool.c_str(), nullptr, FEEDBACK_SOLVED, time1), 0);
    EXPECT_STREQ(time1, L"1577836800") << "the time text is only read";

    const std::string text = ReadAll(record);
    ASSERT_GE(text.size(), 2u);
    ASSERT_EQ(text.substr(text.size() - 2), "\r\n");
    const std::string toolUtf8(tool.begin(), tool.end());
    const std::string chineseUtf8 = "\xE5\xB7\xA5\xE5\x85\xB7-" + std::string(pid.begin(), pid.end());
    std::vector<std::vector<std::string>> mine;
    for (const std::string& line : Split(text.substr(0, text.size() - 2), "\r\n")) {
        std::vector<std::string> fields = Split(line, "\t");
        ASSERT_EQ(fields.size(), 5u) << line;
        if (fields[3] == toolUtf8 || fields[3] == chineseUtf8) mine.push_back(fields);
    }
    ASSERT_EQ(mine.size(), 5u) << text;

    const struct {
        const char* seconds;  // null: the time of the call
        int code;
        std::string tool;
    } expected[] = {{"1577836800", 4, toolUtf8},
                    {"1577836801", 5, toolUtf8},
                    {nullptr, 6, toolUtf8},
                    {nullptr, 5, chineseUtf8},
                    {nullptr, 4, toolUtf8}};
    for (size_t i = 0; i < mine.size(); ++i) {
        const std::vector<std::string>& fields = mine[i];
        const int64_t seconds = std::stoll(fields[0]);
        if (expected[i].seconds) {
            EXPECT_EQ(fields[0], expected[i].seconds);
        } else {
            EXPECT_GE(seconds, before);
            EXPECT_LE(seconds, after);
        }
        EXPECT_EQ(fields[1], outside::UtcText(seconds));
        EXPECT_EQ(fields[2], std::to_string(expected[i].code));
        EXPECT_EQ(fields[3], expected[i].tool);
        EXPECT_EQ(fields[4], "V 1.0");
    }
    EXPECT_EQ(mine[0][1], "2020-01-01 00:00:00");
}

// The record is written elevated in a place any user can write in: a folder or file a user made
// first, or a link in their place, keeps it from being written at all.
TEST(FeedbackRecordTest, OnlyATrustedFolderAndFileTakeTheRecord) {
    util::testing::TempFolder place(L" 记录");
    const std::wstring folder = place.Path() + L"\\OrvaneFeedback";
    const std::wstring record = folder + L"\\FeedbackRecord.txt";
    std::wstring why;
    // Wine's user owns every file: without the machine naming it, the folder is someone else's.
    EXPECT_FALSE(outside::AppendToRecord(record, "x\r\n", why));
    EXPECT_NE(why.find(L"is owned by"), std::wstring::npos) << why;
    EXPECT_EQ(ReadAll(record), "");
    {
        const TrustedUser trusted;
        ASSERT_TRUE(trusted.Set());
        why.clear();
        EXPECT_TRUE(outside::AppendToRecord(record, "a\r\n", why)) << why;
        EXPECT_TRUE(outside::AppendToRecord(record, "b\r\n", why)) << why;
        EXPECT_EQ(ReadAll(record), "a\r\nb\r\n");

        // A second name of the record file, made by a user: refused, nothing added.
        ASSERT_TRUE(::CreateHardLinkW((place.Path() + L"\\second.txt").c_str(), record.c_str(), nullptr));
        EXPECT_FALSE(outside::AppendToRecord(record, "c\r\n", why));
        EXPECT_NE(why.find(L"more than one name"), std::wstring::npos) << why;
        EXPECT_EQ(ReadAll(record), "a\r\nb\r\n");
    }
}

}  // namespace
