#pragma once
// The summary written out: one plain HTML page (no scripts, no fonts or styles from outside,
// printable) and the same as text, for a reader without a browser.
#include <string>

#include "summary/Summary.h"

namespace engine::summary {

struct PageFacts {
    std::wstring built;     // when the summary was built, local time as text
    std::wstring computer;  // the PC's name; empty where unknown
};

// UTF-8, without a byte-order mark; links relative to the page.
std::string SummaryHtml(const Summary& summary, const PageFacts& facts);
// UTF-8 after a byte-order mark (older Notepads need it), lines ending in CR LF.
std::string SummaryText(const Summary& summary, const PageFacts& facts);

// A relative path as a link: every byte of its UTF-8 but letters, digits, "-._~" and "/"
// percent-encoded.
std::string LinkTarget(const std::wstring& relative);

}  // namespace engine::summary
