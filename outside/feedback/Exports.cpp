// The exports of OrvaneFeedbackInformation.dll. Each one turns every failure, exceptions
// included, into its result.
#include "OrvaneFeedbackInformation.h"


#include <optional>
#include <string>

#include "FeedbackRecord.h"
#include "text/PathText.h"
#include "win/ProcAddress.h"
#include "win/SystemLibraries.h"
#include "TimeText.h"
#include "win/UniqueHandle.h"
#include "VersionFile.h"
#include "WebPageOpener.h"

namespace {

HMODULE g_module = nullptr;

std::wstring ModuleFolder() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(g_module, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return {};
        if (n < path.size()) {
            path.resize(n);
            return util::text::FolderOfFile(path);
        }
        path.resize(path.size() * 2);
    }
}

std::optional<outside::VersionFile> ReadVersionFile() {
    const std::wstring folder = ModuleFolder();
    if (folder.empty()) return std::nullopt;
    util::win::UniqueHandle file(::CreateFileW((folder + outside::kVersionFileName).c_str(), GENERIC_READ,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    // One byte more than allowed, so that an oversized file is seen as one.
    std::string bytes(outside::kVersionFileMaxBytes + 1, '\0');
    DWORD read = 0;
    if (!::ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr)) return std::nullopt;
    bytes.resize(read);
    return outside::ParseVersionFile(bytes);
}

int OpenWebAddress(const std::wstring& url) { return outside::OpenWebPage(url, outside::SystemShellRoutes()); }

int64_t NowSeconds() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return outside::UnixSecondsFromFileTime(now);
}

}  // namespace

extern "C" int __cdecl GetToolIsNewVersion(const wchar_t* tool, const wchar_t* version) {
    try {
        if (!version) return TOOL_VERSION_UNKNOWN;
        return outside::NewVersionAnswer(ReadVersionFile(), version);
    } catch (...) {
        return TOOL_VERSION_UNKNOWN;
    }
}

extern "C" int __cdecl OpenToolDownUrl() {
    try {
        const auto file = ReadVersionFile();
        return file ? OpenWebAddress(file->downloadUrl) : 0;
    } catch (...) {
        return 0;
    }
}

extern "C" int __cdecl FeedbackQuestion(const wchar_t* tool, const wchar_t* version) {
    try {
        const auto file = ReadVersionFile();
        if (!file) return 0;
        return OpenWebAddress(outside::ExpandAddress(file->feedbackUrl, tool ? tool : L"", version ? version : L""));
    } catch (...) {
        return 0;
    }
}

extern "C" int __cdecl OpenUrl(const wchar_t* url) {
    try {
        return url ? OpenWebAddress(url) : 0;
    } catch (...) {
        return 0;
    }
}

extern "C" int __cdecl GetInterNetState() {
    // wininet is no known DLL on Windows 10 and later: loaded by full path, never imported.
    using ConnectedStateFn = BOOL(WINAPI*)(LPDWORD, DWORD);
    static const ConnectedStateFn connectedState = [] {
        HMODULE wininet = util::win::LoadSystemLibrary(L"wininet.dll");
        return wininet ? util::win::ProcAddress<ConnectedStateFn>(wininet, "InternetGetConnectedState") : nullptr;
    }();
    DWORD flags = 0;
    return connectedState && connectedState(&flags, 0) ? 1 : 0;
}

extern "C" int __cdecl WriteCustomerFeedbackInfoFile(const wchar_t* tool, const wchar_t* version, int code,
                                                     const wchar_t* timeText) {
    try {
        if (!tool || !version) return 0;
        const std::optional<int32_t> given = outside::ParseTimeText(timeText);
        const int64_t seconds = given ? *given : NowSeconds();
        const std::wstring path = outside::RecordFilePath();
        if (path.empty()) return 0;
        std::wstring why;
        return outside::AppendToRecord(path, outside::RecordLine(seconds, code, tool, version), why) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

extern "C" int __cdecl CustomerFeedbackEx(const wchar_t* tool, const wchar_t* version, int code, wchar_t* timeText) {
    return WriteCustomerFeedbackInfoFile(tool, version, code, timeText);
}

extern "C" int __cdecl CustomerFeedback(const wchar_t* tool, const wchar_t* version, int code) {
    return WriteCustomerFeedbackInfoFile(tool, version, code, nullptr);
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        ::DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
