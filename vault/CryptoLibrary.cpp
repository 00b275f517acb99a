#include "vault/CryptoLibrary.h"

namespace {

template <typename Fn>
Fn lookUp(HMODULE module, const char* name) {
    // GetProcAddress returns a generic pointer; the library's own header fixes the real type.
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

CryptoLibrary::CryptoLibrary(const char* dllName) {
    module_ = LoadLibraryA(dllName);
    if (!module_) {
        loadError_ = GetLastError();
        return;
    }
    md5_ = lookUp<qzcrypto::MD5HashFn>(module_, "MD5Hash");
    getRSA_ = lookUp<qzcrypto::GetRSAFn>(module_, "GetRSA");
}

CryptoLibrary::~CryptoLibrary() {
    if (module_) FreeLibrary(module_);
}

bool CryptoLibrary::md5(const void* data, std::uint32_t length, unsigned char digest[16]) const {
    if (!md5_) return false;
    md5_(static_cast<const unsigned char*>(data), length, digest);
    return true;
}

CryptoLibrary::RSA CryptoLibrary::newRSA() const {
    return RSA(getRSA_ ? getRSA_() : nullptr);
}

std::string systemErrorText(DWORD code, std::size_t maxLength) {
    char buffer[512] = {};
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                             0, buffer, sizeof buffer, nullptr);
    std::string text(buffer, n);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    if (text.size() > maxLength) text.resize(maxLength);
    return text;
}
