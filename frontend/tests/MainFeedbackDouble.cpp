// OrvaneFeedbackInformation.dll double: records the calls the front end makes;
// FE_VERSION is the answer of GetToolIsNewVersion (default 1, the running version is current).
#include <string>

#include "MainDoubleRecord.h"

FE_DOUBLE_EXPORT GetToolIsNewVersion(const wchar_t* tool, const wchar_t* version) {
    fedouble::Record(std::wstring(L"GetToolIsNewVersion ") + tool + L"|" + version);
    return fedouble::IntSetting(L"FE_VERSION", 1);
}

FE_DOUBLE_EXPORT OpenToolDownUrl() {
    fedouble::Record(L"OpenToolDownUrl");
    return 1;
}

FE_DOUBLE_EXPORT FeedbackQuestion(const wchar_t* tool, const wchar_t* version) {
    fedouble::Record(std::wstring(L"FeedbackQuestion ") + tool + L"|" + version);
    return 1;
}

FE_DOUBLE_EXPORT CustomerFeedbackEx(const wchar_t*, const wchar_t*, int code, wchar_t*) {
    fedouble::Record(L"CustomerFeedbackEx " + std::to_wstring(code));
    return 1;
}

FE_DOUBLE_EXPORT OpenUrl(const wchar_t*) { return 1; }
FE_DOUBLE_EXPORT GetInterNetState() { return 1; }
FE_DOUBLE_EXPORT CustomerFeedback(const wchar_t*, const wchar_t*, int) { return 1; }
FE_DOUBLE_EXPORT WriteCustomerFeedbackInfoFile(const wchar_t*, const wchar_t*, int, const wchar_t*) { return 1; }
