// Looking up the library's two exports; a missing one leaves its entry point null, which the
// operations report like a missing library.
#include "vault/CryptoLibrary.h"

namespace {

template <typename Fn>
Fn lookUp(HMODULE module, const char* name) {
    // GetProcAddress returns a generic pointer; the library's own header fixes the real type.
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

CryptoLibrary::CryptoLibrary(const char* dllName) : module_(LoadLibraryA(dllName)) {
    if (!module_) {
        loadError_ = GetLastError();
        return;
    }
    md5_ = lookUp<qzcrypto::MD5HashFn>(module_.get(), "MD5Hash");
    getRSA_ = lookUp<qzcrypto::GetRSAFn>(module_.get(), "GetRSA");
}

bool CryptoLibrary::md5(const void* data, std::uint32_t length, unsigned char digest[16]) const {
    if (!md5_) return false;
    md5_(static_cast<const unsigned char*>(data), length, digest);
    return true;
}

CryptoLibrary::RSA CryptoLibrary::newRSA() const {
    return RSA(getRSA_ ? getRSA_() : nullptr);
}
