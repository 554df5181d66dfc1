#pragma once
// Events as "wevtutil qe … /f:text" writes them: "Event[0]:", then one "  Label: value" line per
// field in a fixed order (Log Name, Source, Date, Event ID, Task, Level, Opcode, Keyword, User,
// User Name, Computer), then "  Description:" and the description's lines up to the next event.
// The labels are in the PC's language; the fields are taken by their place, so any language
// reads the same.
#include <string>
#include <vector>

namespace engine::summary {

enum class EventLevel { Other = 0, Critical = 1, Error = 2, Warning = 3, Information = 4 };

struct EventEntry {
    std::wstring log;
    std::wstring source;
    std::wstring date;      // as written: "2017-03-28T09:42:05.478"
    std::wstring id;
    std::wstring levelText; // as written: "Error", "错误"
    EventLevel level = EventLevel::Other;
    std::wstring description;  // its lines joined by "\n", trimmed at either end
};

std::vector<EventEntry> ParseEventText(const std::wstring& text);

// The level a level's name stands for, in English or Chinese; Other for any other.
EventLevel LevelOfName(const std::wstring& name);

}  // namespace engine::summary
