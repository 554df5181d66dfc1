// A test program for the command runner. Modes:
//   ChunkWriter chunks         writes kChunkPattern's output in pieces of awkward sizes
//   ChunkWriter wait <file>    waits until <file> exists (at most two minutes), then ends
//   ChunkWriter args ...       prints each argument as the C runtime split it, one per line
//   ChunkWriter read           reads its input to the end and prints how many bytes came
//   ChunkWriter cwd            prints its current folder
//   ChunkWriter both           writes "out <i>" lines to standard output and, between them,
//                              far more than a pipe holds to standard error; exit code 3
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "ChunkPattern.h"

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
    if (argc >= 2 && std::strcmp(argv[1], "cwd") == 0) {
        wchar_t folder[MAX_PATH] = {};
        ::GetCurrentDirectoryW(MAX_PATH, folder);
        char narrow[MAX_PATH * 2] = {};
        ::WideCharToMultiByte(CP_ACP, 0, folder, -1, narrow, sizeof narrow, nullptr, nullptr);
        std::printf("%s\n", narrow);
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
