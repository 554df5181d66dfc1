#include "report/RunReport.h"

#include <algorithm>
#include <cstdio>

#include "text/WideText.h"

namespace engine::report {

namespace {

std::string Utf8(const std::wstring& text) { return util::text::Narrow(text, CP_UTF8); }

std::wstring Seconds(DWORD ms) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%lu.%03lu s", static_cast<unsigned long>(ms / 1000),
                  static_cast<unsigned long>(ms % 1000));
    return text;
}

std::wstring ExitCodeText(const std::optional<DWORD>& code) {
    return code ? std::to_wstring(*code) : std::wstring(L"-");
}

}  // namespace

RunSummary Summarize(const std::vector<StepRecord>& records) {
    RunSummary summary;
    for (const StepRecord& record : records) ++summary.counts[static_cast<int>(record.outcome)];
    std::vector<size_t> order(records.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return records[a].durationMs > records[b].durationMs; });
    order.resize(std::min<size_t>(order.size(), 10));
    summary.slowest = order;
    return summary;
}

std::string ReportText(const RunHeader& h, const std::vector<StepRecord>& records) {
    std::wstring text;
    auto line = [&text](const std::wstring& l) { text += l + L"\r\n"; };
    line(L"信息收集报告 (collection report)");
    line(L"");
    line(L"工具版本 (tool): " + h.toolVersion);
    line(L"引擎版本 (engine): " + h.engineVersion + L" " + h.engineArchitecture);
    line(L"Windows: " + h.windowsVersion + L" build " + std::to_wstring(h.windowsBuild) +
         (h.windows64 ? L", 64-bit" : L", 32-bit"));
    line(L"开始 (start): " + TimeText(h.start));
    line(L"结束 (end): " + TimeText(h.end));
    std::wstring switches;
    for (int s : h.switches) switches += (switches.empty() ? L"" : L" ") + std::to_wstring(s);
    line(L"收集类别开关 (switches): " + switches);
    if (!h.toolLog.empty()) line(L"工具日志 (tool log): " + h.toolLog);
    std::wstring limits;
    for (const std::wstring& limit : h.limits) limits += (limits.empty() ? L"" : L", ") + limit;
    if (!limits.empty()) line(L"限制 (limits): " + limits);
    std::wstring summaryFiles;
    for (const std::wstring& file : h.summaryFiles) summaryFiles += (summaryFiles.empty() ? L"" : L", ") + file;
    if (!summaryFiles.empty()) line(L"概要 (summary): " + summaryFiles);
    line(L"");
    line(L"步骤 (steps), in the order they ended:");
    for (size_t i = 0; i < records.size(); ++i) {
        const StepRecord& r = records[i];
        line(L"");
        line(L"[" + std::to_wstring(i + 1) + L"] " + OutcomeName(r.outcome) + L"  worker " + std::to_wstring(r.worker) +
             L"  " + r.category);
        line(L"    what:    " + r.what);
        line(L"    output:  " + (r.output.empty() ? std::wstring(L"-") : r.output));
        line(L"    start:   " + TimeText(r.start) + L"  duration: " + Seconds(r.durationMs) +
             L"  exit code: " + ExitCodeText(r.exitCode) + L"  bytes: " + std::to_wstring(r.bytes));
        if (!r.reason.empty()) line(L"    reason:  " + r.reason);
    }
    const RunSummary summary = Summarize(records);
    line(L"");
    line(L"汇总 (summary): " + std::to_wstring(records.size()) + L" steps");
    for (int o = 0; o < kOutcomeCount; ++o)
        line(std::wstring(L"    ") + OutcomeName(static_cast<Outcome>(o)) + L": " + std::to_wstring(summary.counts[o]));
    line(L"最慢的步骤 (slowest steps):");
    for (size_t index : summary.slowest)
        line(L"    " + Seconds(records[index].durationMs) + L"  [" + std::to_wstring(index + 1) + L"] " +
             records[index].what);
    return "\xEF\xBB\xBF" + Utf8(text);
}

std::string ReportJson(const RunHeader& h, const std::vector<StepRecord>& records) {
    std::string json = "{\n";
    json += "  \"tool_version\": " + JsonString(h.toolVersion) + ",\n";
    json += "  \"engine_version\": " + JsonString(h.engineVersion) + ",\n";
    json += "  \"engine_architecture\": " + JsonString(h.engineArchitecture) + ",\n";
    json += "  \"windows_version\": " + JsonString(h.windowsVersion) + ",\n";
    json += "  \"windows_build\": " + std::to_string(h.windowsBuild) + ",\n";
    json += std::string("  \"windows_64bit\": ") + (h.windows64 ? "true" : "false") + ",\n";
    json += "  \"start\": " + JsonString(TimeText(h.start)) + ",\n";
    json += "  \"end\": " + JsonString(TimeText(h.end)) + ",\n";
    json += "  \"switches\": [";
    for (size_t i = 0; i < h.switches.size(); ++i) json += (i ? ", " : "") + std::to_string(h.switches[i]);
    json += "],\n  \"tool_log\": " + JsonString(h.toolLog) + ",\n  \"limits\": [";
    for (size_t i = 0; i < h.limits.size(); ++i) json += (i ? ", " : "") + JsonString(h.limits[i]);
    json += "],\n  \"summary_files\": [";
    for (size_t i = 0; i < h.summaryFiles.size(); ++i) json += (i ? ", " : "") + JsonString(h.summaryFiles[i]);
    json += "],\n  \"steps\": [";
    for (size_t i = 0; i < records.size(); ++i) {
        const StepRecord& r = records[i];
        json += i ? ",\n    {" : "\n    {";
        json += "\"worker\": " + std::to_string(r.worker);
        json += ", \"category\": " + JsonString(r.category);
        json += ", \"what\": " + JsonString(r.what);
        json += ", \"output\": " + JsonString(r.output);
        json += ", \"start\": " + JsonString(TimeText(r.start));
        json += ", \"duration_ms\": " + std::to_string(r.durationMs);
        json += ", \"exit_code\": " + (r.exitCode ? std::to_string(*r.exitCode) : std::string("null"));
        json += ", \"bytes\": " + std::to_string(r.bytes);
        json += ", \"outcome\": " + JsonString(OutcomeName(r.outcome));
        json += ", \"reason\": " + JsonString(r.reason) + "}";
    }
    json += records.empty() ? "],\n" : "\n  ],\n";
    const RunSummary summary = Summarize(records);
    json += "  \"summary\": {\"steps\": " + std::to_string(records.size()) + ", \"counts\": {";
    for (int o = 0; o < kOutcomeCount; ++o)
        json += (o ? ", " : "") + JsonString(OutcomeName(static_cast<Outcome>(o))) + ": " +
                std::to_string(summary.counts[o]);
    json += "}, \"slowest\": [";
    for (size_t i = 0; i < summary.slowest.size(); ++i) json += (i ? ", " : "") + std::to_string(summary.slowest[i]);
    json += "]}\n}\n";
    return json;
}


void MarkHeldFiles(std::vector<StepRecord>& records, const std::vector<std::wstring>& heldFiles) {
    for (const std::wstring& file : heldFiles) {
        for (StepRecord& record : records) {
            if (record.output.empty()) continue;
            if (file != record.output && file.compare(0, record.output.size() + 1, record.output + L"/") != 0) continue;
            if (record.outcome == Outcome::Ok) record.outcome = Outcome::Partial;
            record.reason += (record.reason.empty() ? L"" : L"; ") + std::wstring(L"still open for writing when packing began: ") + file;
        }
    }
}

}  // namespace engine::report
