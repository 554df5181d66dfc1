#pragma once
// Output written by ChunkWriter in pieces, shared with the test that reads it back.
#include <string>

namespace chunkpattern {

// GBK text with double-byte characters at every offset parity: "第N行：中文与ASCII混合 abc\r\n".
inline std::string Bytes() {
    std::string out;
    for (int line = 0; line < 700; ++line) {
        out += "\xB5\xDA" + std::to_string(line) + "\xD0\xD0\xA3\xBA";  // 第N行：
        out += "\xD6\xD0\xCE\xC4\xD3\xEB" "ASCII" "\xBB\xEC\xBA\xCF";  // 中文与ASCII混合
        out += std::string(line % 3, ' ') + "abc\r\n";
    }
    return out;
}

// Piece sizes: odd ones that split characters, and some larger than one 4,095-byte read.
inline size_t ChunkSize(size_t index, size_t remaining) {
    static const size_t kSizes[] = {1, 4095, 3, 4096, 7000, 2, 511, 4094, 1023, 9999};
    size_t size = kSizes[index % (sizeof kSizes / sizeof kSizes[0])];
    return size < remaining ? size : remaining;
}

}  // namespace chunkpattern
