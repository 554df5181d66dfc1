// A test program for the command runner. Modes:
//   ChunkWriter chunks         writes kChunkPattern's output in pieces of awkward sizes
//   ChunkWriter wait <file>    waits until <file> exists (at most two minutes), then ends
//   ChunkWriter args ...       prints each argument as the C runtime split it, one per line
//   ChunkWriter read           reads its input to the end and prints how many bytes came
//   ChunkWriter cwd            prints its current folder
//   ChunkWriter env            prints its environment block, one "name=value" per line
//   ChunkWriter grandchild <file>  starts "ChunkWriter wait <file>" with its own output, which
//                              that child keeps, prints "started" and ends
//   ChunkWriter grandchild-errors <file>  the same with its error output, which the grandchild
//                              keeps as both of its outputs
//   ChunkWriter both           writes "out <i>" lines to standard output and, between them,
//                              far more than a pipe holds to standard error; exit code 3
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "testing/ChunkPattern.h"

namespace {

// One line in the ANSI code page, as the engine's capture reads it.
void PrintLine(const wchar_t* text) {
    const int n = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(n > 0 ? n : 1, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, &narrow[0], n, nullptr, nullptr);
    std::printf("%s\n", narrow.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "chunks") == 0) {
        const std::string all = chunkpattern::Bytes();
        HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
        size_t pos = 0;
        for (size_t i = 0; pos < all.size(); ++i) {
            const size_t size = chunkpattern::ChunkSize(i, all.size() - pos);
            DWORD written = 0;
            ::WriteFile(out, all.data() + pos, static_cast<DWORD>(size), &written, nullptr);
            pos += size;
            ::Sleep(15);  // lets the reader see each piece on its own
        }
        return 0;
    }
    if (argc >= 3 && std::strcmp(argv[1], "wait") == 0) {
        for (int i = 0; i < 1200 && ::GetFileAttributesA(argv[2]) == INVALID_FILE_ATTRIBUTES; ++i) ::Sleep(100);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "args") == 0) {
        for (int i = 2; i < argc; ++i) std::printf("[%s]\n", argv[i]);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "read") == 0) {
        char buf[256];
        DWORD got = 0;
        unsigned long total = 0;
        while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), buf, sizeof buf, &got, nullptr) && got > 0) total += got;
        std::printf("read %lu\n", total);
        return 0;
    }
    const bool errorsKept = argc >= 3 && std::strcmp(argv[1], "grandchild-errors") == 0;
    if (argc >= 3 && (std::strcmp(argv[1], "grandchild") == 0 || errorsKept)) {
        char self[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string line = std::string("ChunkWriter wait \"") + argv[2] + "\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdOutput = si.hStdError = ::GetStdHandle(errorsKept ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
        PROCESS_INFORMATION pi{};
        if (!::CreateProcessA(self, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi)) return 3;
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        std::printf("started\n");
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "cwd") == 0) {
        wchar_t folder[MAX_PATH] = {};
        ::GetCurrentDirectoryW(MAX_PATH, folder);
        PrintLine(folder);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "env") == 0) {
        wchar_t* block = ::GetEnvironmentStringsW();
        for (const wchar_t* entry = block; *entry; entry += ::lstrlenW(entry) + 1) PrintLine(entry);
        ::FreeEnvironmentStringsW(block);
        return 0;
    }
    if (argc >= 2 && std::strcmp(argv[1], "both") == 0) {
        const std::string noise(1000, 'e');
        for (int i = 0; i < 200; ++i) {
            DWORD written = 0;
            const std::string line = "out " + std::to_string(i) + "\n";
            ::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written,
                        nullptr);
            ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), noise.data(), static_cast<DWORD>(noise.size()), &written,
                        nullptr);
        }
        return 3;
    }
    return 2;
}
