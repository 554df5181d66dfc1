// Version numbers, the version file and the newer-version answer.
#include <gtest/gtest.h>

#include "OrvaneFeedbackInformation.h"
#include "VersionFile.h"
#include "VersionText.h"

namespace {

using outside::CompareVersions;
using outside::ParseVersion;
using outside::ParseVersionFile;
using Numbers = std::vector<unsigned long>;

int Compare(const wchar_t* a, const wchar_t* b) {
    const auto x = ParseVersion(a);
    const auto y = ParseVersion(b);
    EXPECT_TRUE(x && y) << "not versions: " << testing::PrintToString(std::wstring(a)) << " "
                        << testing::PrintToString(std::wstring(b));
    return x && y ? CompareVersions(*x, *y) : 99;
}

TEST(VersionText, ReadsDottedNumbersWithTheProgramsOwnPrefix) {
    EXPECT_EQ(ParseVersion(L"1.2.10"), (Numbers{1, 2, 10}));
    EXPECT_EQ(ParseVersion(L"V 1.0"), (Numbers{1, 0}));
    EXPECT_EQ(ParseVersion(L"v2"), (Numbers{2}));
    EXPECT_EQ(ParseVersion(L"  3.04\t"), (Numbers{3, 4}));
    EXPECT_EQ(ParseVersion(L"4294967295"), (Numbers{4294967295ul}));
}

TEST(VersionText, RefusesWhatIsNotADottedVersion) {
    for (const wchar_t* text : {L"", L"  ", L"V", L"V.1", L"1.", L".1", L"1..2", L"1.2-beta", L"1,2", L"1 .2",
                                L"x1.2", L"VV1", L"-1", L"4294967296", L"99999999999999999999", L"1.2 3"}) {
        EXPECT_FALSE(ParseVersion(text)) << testing::PrintToString(std::wstring(text));
    }
}

TEST(VersionText, ComparesNumberByNumberWithMissingNumbersAsZero) {
    EXPECT_EQ(Compare(L"1.2.10", L"1.2.9"), 1);  // numbers, not text
    EXPECT_EQ(Compare(L"1.2.9", L"1.2.10"), -1);
    EXPECT_EQ(Compare(L"1.2", L"1.2.0.0"), 0);
    EXPECT_EQ(Compare(L"1.2", L"1.2.0.1"), -1);
    EXPECT_EQ(Compare(L"1.10", L"1.9.99"), 1);
    EXPECT_EQ(Compare(L"V 1.0", L"1"), 0);
    EXPECT_EQ(Compare(L"1.02", L"1.2"), 0);
    EXPECT_EQ(Compare(L"2", L"1.99.99"), 1);
    EXPECT_EQ(Compare(L"0.0.0", L"0"), 0);
    EXPECT_EQ(Compare(L"4294967295", L"4294967294.9"), 1);
}

TEST(VersionFile, ReadsTheThreeKeysOfTheVersionSection) {
    const auto file = ParseVersionFile(
        "\xEF\xBB\xBF; set by the administrator\r\n"
        "[Other]\r\nLatest=9.9\r\n"
        "[ version ]\r\n"
        "  latest = 1.2.0  \r\n"
        "DOWNLOADURL=https://example.invalid/get\r\n"
        "# feedback page\r\n"
        "FeedbackUrl=http://example.invalid/ask?t={tool}\r\n"
        "Note=ignored\r\n");
    ASSERT_TRUE(file);
    EXPECT_EQ(file->latest, (Numbers{1, 2, 0}));
    EXPECT_EQ(file->downloadUrl, L"https://example.invalid/get");
    EXPECT_EQ(file->feedbackUrl, L"http://example.invalid/ask?t={tool}");
}

TEST(VersionFile, EveryKeyIsOptional) {
    for (const char* text : {"", "\n\n", "[Version]\n", "[Version]\nDownloadUrl=\n", "[Other]\nx=1\n"}) {
        const auto file = ParseVersionFile(text);
        ASSERT_TRUE(file) << text;
        EXPECT_FALSE(file->latest);
        EXPECT_TRUE(file->downloadUrl.empty());
    }
    const auto urlsOnly = ParseVersionFile("[Version]\nFeedbackUrl=https://example.invalid/f");
    ASSERT_TRUE(urlsOnly);
    EXPECT_FALSE(urlsOnly->latest);
    EXPECT_EQ(urlsOnly->feedbackUrl, L"https://example.invalid/f");
}

TEST(VersionFile, AMalformedFileCountsAsNone) {
    for (const char* text : {
             "[Version]\nLatest=1.2-beta\n",                      // not a version
             "[Version]\nLatest=\n",                              // empty version
             "[Version]\nLatest=1.0\nLatest=2.0\n",               // repeated key
             "[Version]\njust some words\n",                      // not key=value
             "[Version\nLatest=1.0\n",                            // unclosed section
             "[Version]\n=1.0\n",                                 // no key
             "[Version]\nDownloadUrl=file:///C:/evil.exe\n",      // not a web address
             "[Version]\nDownloadUrl=cmd.exe /c del\n",
             "[Version]\nFeedbackUrl=https://\n",                  // no host
             "[Version]\nLatest=1.0\n\xFF\xFE garbage\n",          // not UTF-8
             "\xC4\xE3\xBA\xC3=1\n",                              // GBK text, not UTF-8
         }) {
        EXPECT_FALSE(ParseVersionFile(text)) << text;
    }
    EXPECT_FALSE(ParseVersionFile("[Version]\nLatest=1.0\n" + std::string(outside::kVersionFileMaxBytes, ' ')));
}

TEST(VersionFile, AnswerForTheRunningVersion) {
    const auto latest = [](const char* version) {
        return ParseVersionFile(std::string("[Version]\nLatest=") + version + "\n");
    };
    EXPECT_EQ(outside::NewVersionAnswer(latest("1.0.1"), L"V 1.0"), TOOL_VERSION_NEWER);
    EXPECT_EQ(outside::NewVersionAnswer(latest("1.10"), L"V 1.9"), TOOL_VERSION_NEWER);
    EXPECT_EQ(outside::NewVersionAnswer(latest("1.0.0"), L"V 1.0"), TOOL_VERSION_CURRENT);
    EXPECT_EQ(outside::NewVersionAnswer(latest("0.9"), L"V 1.0"), TOOL_VERSION_AHEAD);
    EXPECT_EQ(outside::NewVersionAnswer(std::nullopt, L"V 1.0"), TOOL_VERSION_UNKNOWN);
    EXPECT_EQ(outside::NewVersionAnswer(ParseVersionFile("[Version]\n"), L"V 1.0"), TOOL_VERSION_UNKNOWN);
    EXPECT_EQ(outside::NewVersionAnswer(latest("2.0"), L"unknown"), TOOL_VERSION_UNKNOWN);
}

TEST(WebAddress, OnlyHttpAndHttpsWithAHostAndNoBlanks) {
    EXPECT_TRUE(outside::IsWebAddress(L"https://example.invalid/a?b=c"));
    EXPECT_TRUE(outside::IsWebAddress(L"HTTP://example.invalid"));
    for (const wchar_t* url : {L"", L"https://", L"http:///path", L"ftp://example.invalid", L"file:///C:/x.exe",
                               L"C:\\Windows\\notepad.exe", L"https://example.invalid/a b",
                               L"https://example.invalid/\t", L"mailto:someone@example.invalid"}) {
        EXPECT_FALSE(outside::IsWebAddress(url)) << testing::PrintToString(std::wstring(url));
    }
}

TEST(WebAddress, FillsInToolAndVersionPercentEncoded) {
    EXPECT_EQ(outside::ExpandAddress(L"https://h/f?tool={tool}&v={version}", L"Skelda", L"V 1.0"),
              L"https://h/f?tool=Skelda&v=V%201.0");
    EXPECT_EQ(outside::ExpandAddress(L"https://h/{tool}/{tool}", L"a&b=c", L""), L"https://h/a%26b%3Dc/a%26b%3Dc");
    EXPECT_EQ(outside::ExpandAddress(L"https://h/?t={tool}", L"工具", L""), L"https://h/?t=%E5%B7%A5%E5%85%B7");
    EXPECT_EQ(outside::ExpandAddress(L"https://h/{tool", L"x", L"y"), L"https://h/{tool");
    // A filled-in address stays a web address: nothing the caller passes can add blanks.
    EXPECT_TRUE(outside::IsWebAddress(outside::ExpandAddress(L"https://h/?v={version}", L"", L"V 1.0 \r\n")));
}

}  // namespace
