#pragma once
// Starting something with the user's normal rights from an elevated process: the desktop's own
// shell process (explorer) runs it. A program the elevated process started itself would run as
// administrator.
#include <string>

namespace util::win {

// Asks the desktop's shell view for the shell's automation object (IShellDispatch2) and has it
// run file with arguments in folder, verb "open", shown as show (SW_*). The shell runs it in its
// own process with its own token and environment. false when the desktop's shell cannot be
// reached (no shell, another user's session) or refused; nothing is started then.
bool ExecuteThroughDesktop(const std::wstring& file, const std::wstring& arguments, const std::wstring& folder,
                           int show);

}  // namespace util::win
