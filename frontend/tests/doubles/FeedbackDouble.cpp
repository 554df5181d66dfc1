// OrvaneFeedbackInformation.dll stand-in: records the answers and question calls.
//   DOUBLE_WITHOUT_OPENURL   OpenUrl is not exported
#include "DoubleRecord.h"

DOUBLE_EXPORT CustomerFeedbackEx(const wchar_t* tool, const wchar_t* version, int code, wchar_t* timeText) {
    doubles::Record(std::wstring(L"CustomerFeedbackEx ") + tool + L"|" + version + L"|" + std::to_wstring(code) +
                    L"|" + (timeText ? timeText : L"(null)"));
    return 1;
}

DOUBLE_EXPORT FeedbackQuestion(const wchar_t* tool, const wchar_t* version) {
    doubles::Record(std::wstring(L"FeedbackQuestion ") + tool + L"|" + version);
    return 1;
}

#ifndef DOUBLE_WITHOUT_OPENURL
DOUBLE_EXPORT OpenUrl(const wchar_t*) { return 0; }
#endif
DOUBLE_EXPORT GetInterNetState() { return 0; }
DOUBLE_EXPORT CustomerFeedback(const wchar_t*, const wchar_t*, int) { return 0; }
DOUBLE_EXPORT WriteCustomerFeedbackInfoFile(const wchar_t*, const wchar_t*, int, const wchar_t*) { return 0; }
DOUBLE_EXPORT GetToolIsNewVersion(const wchar_t*, const wchar_t*) { return 1; }
DOUBLE_EXPORT OpenToolDownUrl() { return 0; }
