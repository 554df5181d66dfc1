#include "RunLine.h"

#include <algorithm>
#include <cstdio>

#include "text/JsonText.h"

namespace collect {

namespace {

// The facts with the given free texts, as JSON.
std::string Object(const RunLineFacts& facts, const std::wstring& lacks, const std::wstring& kept,
                   const std::wstring& archive, const std::vector<const char*>& cut) {
    using util::text::JsonString;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, "%.1f", facts.seconds);
    std::string json = "{\"outcome\":\"" + std::string(OutcomeWord(facts.exitCode)) + "\"";
    json += ",\"exit_code\":" + std::to_string(facts.exitCode);
    json += ",\"archive\":" + (facts.archive.empty() ? std::string("null") : JsonString(archive));
    json += ",\"archive_bytes\":" + std::to_string(facts.archiveBytes);
    json += ",\"archive_sha256\":" + (facts.archiveSha256.empty() ? std::string("null") : "\"" + facts.archiveSha256 + "\"");
    json += ",\"seconds\":" + std::string(seconds);
    json += ",\"steps\":{";
    for (size_t i = 0; i < facts.steps.size(); ++i)
        json += (i ? "," : "") + JsonString(facts.steps[i].first) + ":" + std::to_string(facts.steps[i].second);
    json += "},\"lacks\":" + JsonString(lacks);
    json += ",\"kept\":" + (facts.kept.empty() ? std::string("null") : JsonString(kept));
    json += ",\"problems\":";
    if (facts.problems.empty()) {
        json += "null";
    } else {
        const auto counts = ParseProblemCounts(facts.problems);
        json += "{";
        for (size_t i = 0; i < counts.size(); ++i)
            json += (i ? ",\"" : "\"") + counts[i].first + "\":" +
                    (counts[i].second < 0 ? std::string("null") : std::to_string(counts[i].second));
        json += "}";
    }
    json += ",\"cut\":[";
    for (size_t i = 0; i < cut.size(); ++i) json += (i ? ",\"" : "\"") + std::string(cut[i]) + "\"";
    return json + "]}";
}

// The longest head of text (whole characters, "…" added) for which fits holds; empty if none.
template <typename Fits>
std::wstring Cut(const std::wstring& text, Fits fits) {
    size_t low = 0, high = text.size();
    while (low < high) {
        const size_t mid = (low + high + 1) / 2;
        if (fits(text.substr(0, mid) + L"…"))
            low = mid;
        else
            high = mid - 1;
    }
    // A surrogate pair is not split.
    if (low > 0 && text[low - 1] >= 0xD800 && text[low - 1] <= 0xDBFF) --low;
    return low ? text.substr(0, low) + L"…" : std::wstring();
}

}  // namespace

std::vector<std::pair<std::string, long long>> ParseProblemCounts(const std::wstring& text) {
    std::vector<std::pair<std::string, long long>> counts;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = std::min(text.find(L';', start), text.size());
        const std::wstring part = text.substr(start, end - start);
        start = end + 1;
        const size_t equals = part.find(L'=');
        if (equals == std::wstring::npos || equals == 0 || equals > 64) continue;
        std::string name;
        bool good = true;
        for (size_t i = 0; i < equals; ++i) {
            const wchar_t c = part[i];
            good = good && ((c >= L'a' && c <= L'z') || c == L'_');
            name += static_cast<char>(c);
        }
        const std::wstring value = part.substr(equals + 1);
        long long count = value == L"-" ? -1 : 0;
        if (value != L"-") {
            good = good && !value.empty() && value.size() <= 12;
            for (wchar_t c : value) {
                good = good && c >= L'0' && c <= L'9';
                count = count * 10 + (c - L'0');
            }
        }
        if (good) counts.emplace_back(name, count);
    }
    return counts;
}

const char* OutcomeWord(int exitCode) {
    switch (exitCode) {
        case 0: return "collected";
        case 6: return "collected-not-all-ok";
        case 1: return "failed";
        case 2: return "folder-failed";
        case 3: return "refused";
        case 4: return "unsupported";
        case 5: return "busy";
        case 7: return "not-elevated";
        case 8: return "unsafe-loading";
        case 9: return "shipped-file-refused";
        case 64: return "usage";
        default: return "unknown";
    }
}

std::string RunLine(const RunLineFacts& facts, size_t maxBytes) {
    std::wstring lacks = facts.lacks, kept = facts.kept, archive = facts.archive;
    std::vector<const char*> cut;
    std::string json = Object(facts, lacks, kept, archive, cut);
    // Each text in turn gives way, to what still fits once it is named in "cut".
    struct Text {
        std::wstring* value;
        const char* name;
    };
    for (Text text : {Text{&lacks, "lacks"}, Text{&kept, "kept"}, Text{&archive, "archive"}}) {
        if (json.size() <= maxBytes) break;
        if (text.value->empty()) continue;
        cut.push_back(text.name);
        const std::wstring whole = *text.value;
        *text.value = Cut(whole, [&](const std::wstring& candidate) {
            *text.value = candidate;
            return Object(facts, lacks, kept, archive, cut).size() <= maxBytes;
        });
        json = Object(facts, lacks, kept, archive, cut);
    }
    return json;
}

}  // namespace collect
