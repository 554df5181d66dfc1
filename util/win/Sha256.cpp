#include "win/Sha256.h"

#include <wincrypt.h>

#include <vector>

namespace util::win {

namespace {

// A verify-only context of the RSA and AES provider type: the one that has SHA-256 from
// Windows XP SP3 on, and needs no key container.
class HashContext {
public:
    HashContext() {
        if (!::CryptAcquireContextW(&provider_, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT | CRYPT_SILENT))
            provider_ = 0;
        else if (!::CryptCreateHash(provider_, CALG_SHA_256, 0, 0, &hash_))
            hash_ = 0;
    }
    ~HashContext() {
        if (hash_) ::CryptDestroyHash(hash_);
        if (provider_) ::CryptReleaseContext(provider_, 0);
    }
    HashContext(const HashContext&) = delete;
    HashContext& operator=(const HashContext&) = delete;
    HCRYPTHASH Hash() const { return hash_; }

private:
    HCRYPTPROV provider_ = 0;
    HCRYPTHASH hash_ = 0;
};

// The digest of the hash as 64 lowercase hex digits; empty when it cannot be had.
std::string HexDigest(HCRYPTHASH hash) {
    BYTE digest[32];
    DWORD size = sizeof digest;
    if (!::CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0) || size != sizeof digest) return {};
    static const char kHex[] = "0123456789abcdef";
    std::string hex;
    for (BYTE b : digest) {
        hex += kHex[b >> 4];
        hex += kHex[b & 15];
    }
    return hex;
}

}  // namespace

std::string Sha256OfBytes(const void* data, size_t size) {
    HashContext context;
    if (!context.Hash()) return {};
    const BYTE* at = static_cast<const BYTE*>(data);
    while (size > 0) {
        const DWORD part = static_cast<DWORD>(size < 0x10000000 ? size : 0x10000000);
        if (!::CryptHashData(context.Hash(), at, part, 0)) return {};
        at += part;
        size -= part;
    }
    return HexDigest(context.Hash());
}

std::string Sha256OfFile(HANDLE file) {
    HashContext context;
    if (!context.Hash()) return {};
    std::vector<BYTE> buffer(64 * 1024);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) return {};
        if (got == 0) break;
        if (!::CryptHashData(context.Hash(), buffer.data(), got, 0)) return {};
    }
    return HexDigest(context.Hash());
}

}  // namespace util::win
