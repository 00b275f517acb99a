/*
 * Owning wrappers for the kernel handles the file jobs open: a file, a find
 * search, a registry key, and a heap buffer that is overwritten before it is
 * freed (it may hold plain text or key material). Each closes or wipes what it
 * owns when it goes out of scope, also when a job ends early.
 */
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <vector>

class FileHandle {
public:
    FileHandle() = default;
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    FileHandle(FileHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = INVALID_HANDLE_VALUE; }

    FileHandle& operator=(FileHandle&& other) noexcept {
        if (this != &other) {
            close();
            handle_ = other.handle_;
            other.handle_ = INVALID_HANDLE_VALUE;
        }
        return *this;
    }

    bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE get() const { return handle_; }
    void close() {
        if (valid()) CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

private:
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { if (key_) RegCloseKey(key_); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

// Overwrites size bytes in a way the optimiser keeps.
inline void wipeBytes(void* data, std::size_t size) {
    if (data && size) SecureZeroMemory(data, size);
}

// A zero-filled byte buffer whose contents are wiped before it is freed.
class SecretBuffer {
public:
    explicit SecretBuffer(std::size_t size) : bytes_(size, 0) {}
    ~SecretBuffer() { wipeBytes(bytes_.data(), bytes_.size()); }
    SecretBuffer(const SecretBuffer&) = delete;
    SecretBuffer& operator=(const SecretBuffer&) = delete;

    unsigned char* data() { return bytes_.data(); }
    const unsigned char* data() const { return bytes_.data(); }
    std::size_t size() const { return bytes_.size(); }
    unsigned char& operator[](std::size_t i) { return bytes_[i]; }

private:
    std::vector<unsigned char> bytes_;
};
