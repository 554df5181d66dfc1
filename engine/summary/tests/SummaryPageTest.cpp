#include "summary/SummaryPage.h"

#include <gtest/gtest.h>

#include "summary/SummaryTexts.h"

namespace engine::summary {
namespace {

Summary OneOfEach() {
    Summary summary;
    Section disks;
    disks.title = L"磁盘";
    disks.countName = "disks_low";
    disks.count = 1;
    disks.sources = {L"操作系统/文件系统/本地存储设备管理.txt"};
    disks.headers = {L"驱动器 (DeviceID)", L"名称"};
    disks.rows.push_back({{L"C:", L"<script>alert(1)</script> & \"x\""}, disks.sources.front()});
    summary.problems.push_back(disks);
    Section cbs;
    cbs.title = L"CBS";
    cbs.countName = "cbs_corruption";
    cbs.sources = {L"CBS日志"};
    cbs.unavailable = L"本次没有收集这类信息";
    summary.problems.push_back(cbs);
    Section events;
    events.title = L"事件";
    events.sources = {L"系统日志/近7天的错误和警告/System.txt"};
    events.headers = {L"描述"};
    events.rows.push_back({{L"first line\nsecond line"}, L""});
    summary.machine.push_back(events);
    return summary;
}

TEST(SummaryPageTest, LinksAreRelativeAndEncodedByteForByte) {
    EXPECT_EQ(LinkTarget(L"硬件/CPU管理.txt"), "%E7%A1%AC%E4%BB%B6/CPU%E7%AE%A1%E7%90%86.txt");
    EXPECT_EQ(LinkTarget(L"a b#?%(1)、.txt"), "a%20b%23%3F%25%281%29%E3%80%81.txt");
    EXPECT_EQ(LinkTarget(L"INF日志/setupapi.dev.log"), "INF%E6%97%A5%E5%BF%97/setupapi.dev.log");
}

TEST(SummaryPageTest, ThePageIsPlainSelfContainedAndEscaped) {
    const std::string html = SummaryHtml(OneOfEach(), {L"2026-12-09 10:00:00.000", L"PC-1"});
    EXPECT_EQ(html.find("<!DOCTYPE html>"), 0u);
    EXPECT_NE(html.find("<meta charset=\"utf-8\">"), std::string::npos);
    // A value never becomes markup, and nothing is fetched from anywhere.
    EXPECT_EQ(html.find("<script"), std::string::npos);
    EXPECT_NE(html.find("&lt;script&gt;alert(1)&lt;/script&gt; &amp; &quot;x&quot;"), std::string::npos);
    EXPECT_EQ(html.find("http"), std::string::npos);
    EXPECT_EQ(html.find("src="), std::string::npos);
    EXPECT_EQ(html.find("@import"), std::string::npos);
    EXPECT_NE(html.find("<a href=\"" + LinkTarget(L"操作系统/文件系统/本地存储设备管理.txt") + "\">C:</a>"), std::string::npos);
    // The count list leads to each section; a section without a source says why.
    EXPECT_NE(html.find("<a href=\"#s1\">"), std::string::npos);
    EXPECT_NE(html.find("id=\"s1\""), std::string::npos);
    EXPECT_NE(html.find("本次没有收集这类信息"), std::string::npos);
    EXPECT_NE(html.find("first line<br>second line"), std::string::npos);
    EXPECT_NE(html.find("@media print"), std::string::npos);
    // Problems before the machine.
    EXPECT_LT(html.find("<h2>发现的问题</h2>"), html.find("<h2>计算机概况</h2>"));
}

TEST(SummaryPageTest, TheTextHasItsMarkAndWindowsLineEnds) {
    const std::string text = SummaryText(OneOfEach(), {L"2026-12-09 10:00:00.000", L""});
    ASSERT_EQ(text.compare(0, 3, "\xEF\xBB\xBF"), 0);
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
        ASSERT_EQ(text[at - 1], '\r') << "a bare LF at " << at;
    EXPECT_NE(text.find("  - first line\r\n      second line\r\n"), std::string::npos);
    EXPECT_NE(text.find("== 磁盘（发现 1） =="), std::string::npos);
    EXPECT_NE(text.find("== CBS（不可用） ==\r\n来源：CBS日志\r\n不可用：本次没有收集这类信息"), std::string::npos);
}

}  // namespace
}  // namespace engine::summary
