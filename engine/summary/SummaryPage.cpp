#include "summary/SummaryPage.h"

#include <windows.h>

#include "summary/SummaryTexts.h"
#include "text/WideText.h"

namespace engine::summary {

namespace {

std::string Utf8(const std::wstring& text) { return util::text::Narrow(text, CP_UTF8); }

std::string Escaped(const std::wstring& text) {
    std::string html;
    for (char c : Utf8(text)) {
        switch (c) {
            case '&': html += "&amp;"; break;
            case '<': html += "&lt;"; break;
            case '>': html += "&gt;"; break;
            case '"': html += "&quot;"; break;
            case '\n': html += "<br>"; break;
            default: html += c;
        }
    }
    return html;
}

std::string Anchor(const std::wstring& link, const std::wstring& text) {
    return "<a href=\"" + LinkTarget(link) + "\">" + Escaped(text) + "</a>";
}

// "发现 3" / "未发现" / "不可用"
std::wstring CountWord(const Section& section) {
    if (!section.Available()) return texts::kNotAvailable;
    if (section.count == 0) return texts::kNoneFound;
    return std::wstring(texts::kFound) + L" " + std::to_wstring(section.count);
}

// The count's colour: not available, problems found, none found.
const char* CountClass(const Section& section) { return !section.Available() ? "na" : section.count ? "bad" : "ok"; }

constexpr const char* kStyle =
    "body{font-family:\"Microsoft YaHei\",\"SimSun\",\"Noto Sans CJK SC\",\"WenQuanYi Micro Hei\",sans-serif;"
    "margin:1.5em;color:#111;line-height:1.45}"
    "h1{font-size:1.5em;margin:0 0 .3em}h2{font-size:1.25em;border-bottom:2px solid #444;margin-top:1.6em}"
    "h3{font-size:1.05em;margin:1.2em 0 .3em}"
    "table{border-collapse:collapse;margin:.3em 0 .8em;max-width:100%}"
    "th,td{border:1px solid #999;padding:.2em .5em;text-align:left;vertical-align:top;word-break:break-word}"
    "th{background:#eee}.na{color:#8a4b00}.bad{color:#b00000;font-weight:bold}.ok{color:#1d6b1d}"
    ".src{font-size:.9em;color:#444}.note{font-size:.9em}"
    "ul.counts{padding-left:1.2em}"
    "@media print{a{color:inherit}h2{page-break-after:avoid}tr{page-break-inside:avoid}}";

void SectionHtml(std::string& html, const Section& section, int number) {
    html += "<h3 id=\"s" + std::to_string(number) + "\">" + Escaped(section.title);
    if (!section.countName.empty()) {
        html += std::string(" <span class=\"") + CountClass(section) + "\">(" + Escaped(CountWord(section)) + ")</span>";
    }
    html += "</h3>\n<div class=\"src\">" + Escaped(texts::kSource) + "：";
    for (size_t i = 0; i < section.sources.size(); ++i)
        html += (i ? "、" : "") + Anchor(section.sources[i], section.sources[i]);
    html += "</div>\n";
    if (!section.Available()) {
        html += "<p class=\"na\">" + Escaped(texts::kNotAvailable) + "：" + Escaped(section.unavailable) + "</p>\n";
        return;
    }
    if (!section.note.empty()) html += "<p class=\"note\">" + Escaped(section.note) + "</p>\n";
    if (section.rows.empty()) return;
    html += "<table>\n<tr>";
    for (const std::wstring& header : section.headers) html += "<th>" + Escaped(header) + "</th>";
    html += "</tr>\n";
    for (const Row& row : section.rows) {
        html += "<tr>";
        for (size_t i = 0; i < row.cells.size(); ++i)
            html += "<td>" + (i == 0 && !row.link.empty() ? Anchor(row.link, row.cells[i]) : Escaped(row.cells[i])) + "</td>";
        html += "</tr>\n";
    }
    html += "</table>\n";
}

void Line(std::wstring& text, const std::wstring& line) { text += line + L"\r\n"; }

void SectionText(std::wstring& text, const Section& section) {
    Line(text, L"");
    std::wstring title = L"== " + section.title;
    if (!section.countName.empty()) title += L"（" + CountWord(section) + L"）";
    Line(text, title + L" ==");
    std::wstring from = std::wstring(texts::kSource) + L"：";
    for (size_t i = 0; i < section.sources.size(); ++i) from += (i ? L"、" : L"") + section.sources[i];
    Line(text, from);
    if (!section.Available()) {
        Line(text, std::wstring(texts::kNotAvailable) + L"：" + section.unavailable);
        return;
    }
    if (!section.note.empty()) Line(text, section.note);
    if (section.rows.empty()) return;
    std::wstring header;
    for (size_t i = 0; i < section.headers.size(); ++i) header += (i ? L" | " : L"") + section.headers[i];
    Line(text, L"  " + header);
    for (const Row& row : section.rows) {
        std::wstring cells;
        for (size_t i = 0; i < row.cells.size(); ++i) {
            std::wstring cell = row.cells[i];
            for (size_t at = cell.find(L'\n'); at != std::wstring::npos; at = cell.find(L'\n', at))
                cell.replace(at, 1, L"\r\n      "), at += 8;
            cells += (i ? L" | " : L"") + cell;
        }
        Line(text, L"  - " + cells);
    }
}

}  // namespace

std::string LinkTarget(const std::wstring& relative) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string target;
    for (char c : Utf8(relative)) {
        const unsigned char b = static_cast<unsigned char>(c);
        if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') || b == '-' || b == '.' ||
            b == '_' || b == '~' || b == '/') {
            target += c;
        } else {
            target += '%';
            target += kHex[b >> 4];
            target += kHex[b & 15];
        }
    }
    return target;
}

std::string SummaryHtml(const Summary& summary, const PageFacts& facts) {
    std::string html = "<!DOCTYPE html>\n<html lang=\"zh-CN\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>" +
                       Escaped(texts::kTitle) + "</title>\n<style>" + kStyle + "</style>\n</head>\n<body>\n";
    html += "<h1>" + Escaped(texts::kTitle) + "</h1>\n<p>" + Escaped(texts::kIntro) + "</p>\n<p class=\"src\">";
    if (!facts.computer.empty()) html += Escaped(facts.computer) + " · ";
    html += Escaped(facts.built) + "</p>\n";
    html += "<h2>" + Escaped(texts::kProblemsHeading) + "</h2>\n<ul class=\"counts\">\n";
    int number = 0;
    for (const Section& section : summary.problems) {
        ++number;
        if (section.countName.empty()) continue;
        html += "<li><a href=\"#s" + std::to_string(number) + "\">" + Escaped(section.title) + "</a>：<span class=\"" +
                CountClass(section) +
                "\">" + Escaped(CountWord(section)) + "</span></li>\n";
    }
    html += "</ul>\n";
    number = 0;
    for (const Section& section : summary.problems) SectionHtml(html, section, ++number);
    html += "<h2>" + Escaped(texts::kMachineHeading) + "</h2>\n";
    for (const Section& section : summary.machine) SectionHtml(html, section, ++number);
    html += "</body>\n</html>\n";
    return html;
}

std::string SummaryText(const Summary& summary, const PageFacts& facts) {
    std::wstring text;
    Line(text, texts::kTitle);
    Line(text, texts::kIntro);
    Line(text, (facts.computer.empty() ? L"" : facts.computer + L" · ") + facts.built);
    Line(text, L"");
    Line(text, std::wstring(L"# ") + texts::kProblemsHeading);
    for (const Section& section : summary.problems)
        if (!section.countName.empty()) Line(text, L"  " + section.title + L"：" + CountWord(section));
    for (const Section& section : summary.problems) SectionText(text, section);
    Line(text, L"");
    Line(text, std::wstring(L"# ") + texts::kMachineHeading);
    for (const Section& section : summary.machine) SectionText(text, section);
    return "\xEF\xBB\xBF" + Utf8(text);
}

}  // namespace engine::summary
