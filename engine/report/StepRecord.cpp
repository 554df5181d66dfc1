#include "report/StepRecord.h"

#include <cstdio>

namespace engine::report {

const wchar_t* OutcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::Ok: return L"ok";
        case Outcome::Failed: return L"failed";
        case Outcome::TimedOut: return L"timed-out";
        case Outcome::Skipped: return L"skipped";
        case Outcome::NotFound: return L"not-found";
        case Outcome::Partial: return L"partial";
    }
    return L"";
}

StepClock::StepClock() : startTick_(::GetTickCount64()) { ::GetLocalTime(&start_); }

void StepClock::Finish(StepRecord& record) const {
    record.start = start_;
    record.durationMs = static_cast<DWORD>(::GetTickCount64() - startTick_);
}

std::wstring TimeText(const SYSTEMTIME& t) {
    wchar_t text[32];
    std::swprintf(text, 32, L"%04u-%02u-%02u %02u:%02u:%02u.%03u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
                  t.wSecond, t.wMilliseconds);
    return text;
}

}  // namespace engine::report
