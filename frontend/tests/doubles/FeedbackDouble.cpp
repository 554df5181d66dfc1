// OrvaneFeedbackInformation.dll double: records the calls the front end makes.
//   FE_VERSION   the answer of GetToolIsNewVersion (default 1, the running version is current)
// Built with DOUBLE_WITHOUT_OPENURL it does not export OpenUrl.
#include "DoubleRecord.h"

DOUBLE_EXPORT GetToolIsNewVersion(const wchar_t* tool, const wchar_t* version) {
    doubles::Record(std::wstring(L"GetToolIsNewVersion ") + tool + L"|" + version);
    return doubles::IntSetting(L"FE_VERSION", 1);
}

DOUBLE_EXPORT OpenToolDownUrl() { return doubles::Recorded(L"OpenToolDownUrl", L"", 1); }

DOUBLE_EXPORT FeedbackQuestion(const wchar_t* tool, const wchar_t* version) {
    doubles::Record(std::wstring(L"FeedbackQuestion ") + tool + L"|" + version);
    return 1;
}

DOUBLE_EXPORT CustomerFeedbackEx(const wchar_t* tool, const wchar_t* version, int code, wchar_t* timeText) {
    doubles::Record(std::wstring(L"CustomerFeedbackEx ") + tool + L"|" + version + L"|" + std::to_wstring(code) +
                    L"|" + (timeText ? timeText : L"(null)"));
    return 1;
}

#ifndef DOUBLE_WITHOUT_OPENURL
DOUBLE_EXPORT OpenUrl(const wchar_t*) { return 1; }
#endif
DOUBLE_EXPORT GetInterNetState() { return 1; }
DOUBLE_EXPORT CustomerFeedback(const wchar_t*, const wchar_t*, int) { return 1; }
DOUBLE_EXPORT WriteCustomerFeedbackInfoFile(const wchar_t*, const wchar_t*, int, const wchar_t*) { return 1; }
