#pragma once
// The locales an exported event log's texts are written for: the display language of the PC,
// for an engineer who reads it, and English, which every support engineer can read.
#include <string>
#include <vector>

namespace util::win {

struct LocaleName {
    std::wstring name;        // as wevtutil takes it: "zh-CN"
    unsigned long lcid = 0;   // as it names its files: 2052
};

// The user's display language, then en-US where that is another; en-US alone where the display
// language cannot be had.
std::vector<LocaleName> DisplayAndEnglishLocales();

}  // namespace util::win
