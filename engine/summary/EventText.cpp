#include "summary/EventText.h"

#include "summary/ToolText.h"

namespace engine::summary {

namespace {

// The fields in the order wevtutil writes them, by their English labels.
const wchar_t* const kFieldOrder[] = {L"Log Name", L"Source",  L"Date",     L"Event ID",  L"Task",       L"Level",
                                      L"Opcode",   L"Keyword", L"User",     L"User Name", L"Computer",   L"Description"};
constexpr int kFieldCount = 12;
constexpr int kDescriptionField = 11;

// "Event[12]:"; some captures show it without the colon.
bool IsEventStart(const std::wstring& line) {
    const std::wstring head = Trimmed(line);
    if (head.compare(0, 6, L"Event[") != 0) return false;
    const size_t close = head.find(L']', 6);
    if (close == std::wstring::npos || close == 6) return false;
    for (size_t i = 6; i < close; ++i)
        if (head[i] < L'0' || head[i] > L'9') return false;
    return close + 1 == head.size() || (close + 2 == head.size() && head.back() == L':');
}

// "  Label: value" (or a full-width colon): label and value; false for a line of no field.
bool SplitField(const std::wstring& line, std::wstring& label, std::wstring& value) {
    if (line.size() < 3 || line[0] != L' ') return false;
    const size_t colon = line.find_first_of(L":\uFF1A");
    if (colon == std::wstring::npos) return false;
    label = Trimmed(line.substr(0, colon));
    value = Trimmed(line.substr(colon + 1));
    return !label.empty();
}

int FieldOfLabel(const std::wstring& label) {
    for (int i = 0; i < kFieldCount; ++i)
        if (label == kFieldOrder[i]) return i;
    return -1;
}

void SetField(EventEntry& entry, int field, const std::wstring& value) {
    switch (field) {
        case 0: entry.log = value; break;
        case 1: entry.source = value; break;
        case 2: entry.date = value; break;
        case 3: entry.id = value; break;
        case 5:
            entry.levelText = value;
            entry.level = LevelOfName(value);
            break;
        case kDescriptionField: entry.description = value; break;
        default: break;
    }
}

void Finish(std::vector<EventEntry>& events) {
    if (events.empty()) return;
    std::wstring& text = events.back().description;
    const size_t first = text.find_first_not_of(L" \t\n");
    text = first == std::wstring::npos ? std::wstring() : text.substr(first, text.find_last_not_of(L" \t\n") - first + 1);
}

}  // namespace

EventLevel LevelOfName(const std::wstring& name) {
    struct Name {
        const wchar_t* text;
        EventLevel level;
    };
    static const Name kNames[] = {{L"Critical", EventLevel::Critical}, {L"关键", EventLevel::Critical},
                                  {L"严重", EventLevel::Critical},     {L"Error", EventLevel::Error},
                                  {L"错误", EventLevel::Error},         {L"Warning", EventLevel::Warning},
                                  {L"警告", EventLevel::Warning},       {L"Information", EventLevel::Information},
                                  {L"信息", EventLevel::Information}};
    for (const Name& known : kNames)
        if (name == known.text) return known.level;
    return EventLevel::Other;
}

std::vector<EventEntry> ParseEventText(const std::wstring& text) {
    std::vector<EventEntry> events;
    int nextField = kFieldCount;  // no event yet
    for (const std::wstring& line : SplitLines(text)) {
        if (IsEventStart(line)) {
            Finish(events);
            events.emplace_back();
            nextField = 0;
            continue;
        }
        if (events.empty()) continue;
        if (nextField <= kDescriptionField) {
            std::wstring label, value;
            if (SplitField(line, label, value)) {
                const int known = FieldOfLabel(label);
                const int field = known >= 0 ? known : nextField;
                SetField(events.back(), field, value);
                nextField = field + 1;
                continue;
            }
            if (Trimmed(line).empty()) continue;
            nextField = kDescriptionField + 1;  // an unexpected line: the description from here
        }
        std::wstring& description = events.back().description;
        description += (description.empty() ? L"" : L"\n") + line;
    }
    Finish(events);
    return events;
}

}  // namespace engine::summary
