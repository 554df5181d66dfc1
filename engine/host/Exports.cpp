// The engine's exported functions: plain C functions that forward to the collector.
// No exception may leave them.
#include "host/Collector.h"

// Exported by their plain names through OrvaneSkelda.def.
#define SKELDA_EXPORT extern "C" int __cdecl

namespace {

// All engine state lives here, from the library's load to its unload.
engine::host::Collector g_collector;

template <typename F>
int Guarded(F&& call) noexcept {
    try {
        return call();
    } catch (...) {
        return 0;
    }
}

}  // namespace

SKELDA_EXPORT InitDll() { return Guarded([] { return g_collector.InitDll(); }); }

SKELDA_EXPORT SetWndHandle(HWND hwnd) { return Guarded([=] { return g_collector.SetWndHandle(hwnd); }); }

SKELDA_EXPORT GetCurSystemIsSupport() { return Guarded([] { return g_collector.GetCurSystemIsSupport(); }); }

SKELDA_EXPORT SelectSaveSystemInfoFilePosition(HWND owner, wchar_t* buffer) {
    return Guarded([=] { return g_collector.SelectSaveSystemInfoFilePosition(owner, buffer); });
}

SKELDA_EXPORT StartGetSystemInfo(const wchar_t* archivePath, const int* switches) {
    return Guarded([=] { return g_collector.StartGetSystemInfo(archivePath, switches); });
}

SKELDA_EXPORT RestartSystem() { return Guarded([] { return g_collector.RestartSystem(); }); }

SKELDA_EXPORT SetRunOptions(const engine::api::RunOptions* options) {
    return Guarded([=] { return g_collector.SetRunOptions(options); });
}
