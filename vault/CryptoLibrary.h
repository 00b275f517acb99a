/*
 * Binding of the crypto library QZ_Cryptography.dll, loaded by name for one
 * operation and freed when the binding goes out of scope. An RSA engine
 * obtained here is released automatically and must not outlive the binding.
 * Loading failure is reported, never thrown; what to tell the user is up to
 * the operation that asked.
 */
#pragma once

#include "base/ProductNames.h"
#include "cryptolib/QZ_Cryptography.h"
#include "framework/Win32Handles.h"

#include <windows.h>

#include <memory>

class CryptoLibrary {
public:
    static constexpr const char* DefaultName = product::CryptoLibraryName;

    explicit CryptoLibrary(const char* dllName = DefaultName);
    CryptoLibrary(const CryptoLibrary&) = delete;
    CryptoLibrary& operator=(const CryptoLibrary&) = delete;

    bool loaded() const { return module_.valid(); }
    // GetLastError of the failed load (0 when loaded).
    DWORD loadError() const { return loadError_; }

    // Whether the library exports what an operation needs; a library without them counts as not loaded.
    bool hasMD5() const { return md5_ != nullptr; }
    bool hasRSA() const { return getRSA_ != nullptr; }

    // MD5 of length bytes; digest may be data itself. False when not loaded.
    bool md5(const void* data, std::uint32_t length, unsigned char digest[16]) const;

    struct Releaser {
        void operator()(qzcrypto::RSAEngine* engine) const { if (engine) engine->Release(); }
    };
    using RSA = std::unique_ptr<qzcrypto::RSAEngine, Releaser>;
    // A new 1024-bit RSA engine, or null when the library is not loaded.
    RSA newRSA() const;

private:
    win32::LibraryHandle module_;
    DWORD loadError_ = 0;
    qzcrypto::MD5HashFn md5_ = nullptr;
    qzcrypto::GetRSAFn getRSA_ = nullptr;
};
