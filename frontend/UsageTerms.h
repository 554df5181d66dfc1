#pragma once
// The usage agreement shown in the terms panel, built as one text with CR LF line ends:
// title, blank line, the important notes, then sections 一 to 六 separated by blank lines.
// Paragraphs of a section are numbered "1.", "2.", ...; items below a paragraph are lettered
// "A.", "B.", ...; every paragraph and item line starts with four blanks. No blank follows a
// number or letter, so that the line wraps as one run of Chinese text.
#include "CString.h"

namespace frontend {

CString UsageTermsText();

}  // namespace frontend
