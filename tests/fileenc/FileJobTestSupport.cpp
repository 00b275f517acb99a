// The file-job test support. The cipher and the digest here call Crypto++ directly, apart from
// the program's own cipher unit, so a fault there cannot hide in a matching fault here.
#include "tests/fileenc/FileJobTestSupport.h"

#include "fileenc/EncryptedFile.h"
#include "fileenc/FileJobWorker.h"
#include "framework/Win32Handles.h"

#define CRYPTOPP_ENABLE_NAMESPACE_WEAK 1
#include <cryptopp/blowfish.h>
#include <cryptopp/md5.h>
#include <cryptopp/modes.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace fileenctest {

const unsigned char TestVaultKey[16] = {0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE,
                                        0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF};
const unsigned char TestDataKey[16] = {0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6, 0x07, 0x18,
                                       0x29, 0x3A, 0x4B, 0x5C, 0x6D, 0x7E, 0x8F, 0x90};
const unsigned char TestVaultID[16] = {0xDE, 0xAD, 0xBE, 0xEF, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

namespace {

const char* const ClassName = "BrimFileJobTestWindow";
const unsigned char Vector[8] = {0x5C, 0x2E, 0x91, 0x07, 0xD4, 0x6A, 0xB3, 0x18};

void registerClass() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = ClassName;
    RegisterClassA(&windowClass);
    registered = true;
}

}  // namespace

JobWindow::JobWindow() {
    registerClass();
    window_ = CreateWindowExA(0, ClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                              nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&JobWindow::procedure));
}

JobWindow::~JobWindow() {
    if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK JobWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<JobWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self && message >= WM_FILEJOB_DONE && message <= WM_FILEJOB_FINISHING) {
        if (message == WM_FILEJOB_FINISHING) {
            self->finishingThread = GetCurrentThreadId();
            self->finishingSeen = true;
        }
        self->messages.push_back({message, wParam, lParam});
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void JobWindow::pumpPending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

bool JobWindow::start(LPTHREAD_START_ROUTINE routine, FileEncryptionJob& job) {
    thread_ = CreateThread(nullptr, 0, routine, &job, 0, nullptr);
    return thread_ != nullptr;
}

bool JobWindow::finish(DWORD deadlineMs) {
    if (!thread_) return false;
    DWORD start = GetTickCount();
    bool ended = false;
    while (!ended) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= deadlineMs) break;
        DWORD wait = MsgWaitForMultipleObjects(1, &thread_, FALSE, deadlineMs - elapsed, QS_ALLINPUT);
        if (wait == WAIT_OBJECT_0) ended = true;
        pumpPending();
    }
    CloseHandle(thread_);
    thread_ = nullptr;
    pumpPending();
    return ended;
}

bool JobWindow::run(LPTHREAD_START_ROUTINE routine, FileEncryptionJob& job, DWORD deadlineMs) {
    return start(routine, job) && finish(deadlineMs);
}

RecordedMessage JobWindow::last() const {
    for (auto it = messages.rbegin(); it != messages.rend(); ++it)
        if (it->message == WM_FILEJOB_DONE || it->message == WM_FILEJOB_FAILED) return *it;
    return {0, 0, 0};
}

std::vector<WPARAM> JobWindow::progress() const {
    std::vector<WPARAM> values;
    for (const auto& m : messages)
        if (m.message == WM_FILEJOB_PROGRESS) values.push_back(m.wParam);
    return values;
}

int JobWindow::count(UINT message) const {
    int n = 0;
    for (const auto& m : messages) n += m.message == message;
    return n;
}

void setUpJob(FileEncryptionJob& job, const std::string& source, const std::string& dest, HWND window,
              const unsigned char* dataKey, const unsigned char* vaultKey) {
    job.SourcePath = source;
    job.DestPath = dest;
    std::memcpy(job.FileKey.data(), dataKey, 16);
    std::memcpy(job.VaultKey.data(), vaultKey, 16);
    std::memcpy(job.VaultID, TestVaultID, 16);
    job.VaultName = "My Vault";
    job.BytesDone = 0;
    job.CancelRequested = false;
    job.DialogWindow = window;
    job.FinishPauseMs = 0;
}

std::string patternBytes(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    unsigned state = seed * 2654435761u + 12345;
    for (std::size_t i = 0; i < size; ++i) {
        state = state * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(state >> 16);
    }
    return bytes;
}

std::string readAll(const std::string& path) {
    win32::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    if (!file.valid()) throw std::runtime_error("cannot open " + path);
    LARGE_INTEGER size = {};
    GetFileSizeEx(file.get(), &size);
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && (!ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                           read != bytes.size()))
        throw std::runtime_error("cannot read " + path);
    return bytes;
}

void writeAll(const std::string& path, const std::string& bytes) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    win32::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) throw std::runtime_error("cannot create " + path);
    DWORD written = 0;
    if (!bytes.empty() && (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
                           written != bytes.size()))
        throw std::runtime_error("cannot write " + path);
}

bool fileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::string blowfishCbcEncrypt(const std::string& plain, const unsigned char key[16]) {
    std::string out(plain.size(), '\0');
    CryptoPP::CBC_Mode<CryptoPP::Blowfish>::Encryption cipher(key, 16, Vector);
    cipher.ProcessData(reinterpret_cast<CryptoPP::byte*>(&out[0]), reinterpret_cast<const CryptoPP::byte*>(plain.data()),
                       plain.size());
    return out;
}

std::string blowfishCbcDecrypt(const std::string& cipherText, const unsigned char key[16]) {
    std::string out(cipherText.size(), '\0');
    CryptoPP::CBC_Mode<CryptoPP::Blowfish>::Decryption cipher(key, 16, Vector);
    cipher.ProcessData(reinterpret_cast<CryptoPP::byte*>(&out[0]),
                       reinterpret_cast<const CryptoPP::byte*>(cipherText.data()), cipherText.size());
    return out;
}

std::string md5(const std::string& bytes) {
    std::string digest(16, '\0');
    CryptoPP::Weak1::MD5().CalculateDigest(reinterpret_cast<CryptoPP::byte*>(&digest[0]),
                                           reinterpret_cast<const CryptoPP::byte*>(bytes.data()), bytes.size());
    return digest;
}

ExpectedBody expectedBody(const std::string& plain, std::size_t chunk, const unsigned char* dataKey) {
    ExpectedBody expected;
    expected.digest = std::string(16, '\0');
    for (std::size_t at = 0; at < plain.size(); at += chunk)
        expected.digest = md5(expected.digest + plain.substr(at, chunk));
    std::size_t r = plain.size() % chunk;
    std::string padded = plain;
    if (r % 8) padded.append(8 - r % 8, '\0');
    expected.body = blowfishCbcEncrypt(padded, dataKey);
    expected.length = r == 0 ? plain.size() : plain.size() - r + r + 8 - r % 8;
    return expected;
}

// Writes a .vltenc exactly as the layout describes, from independent Blowfish-CBC and MD5.
std::string goldenFile(const std::string& plain, const unsigned char* dataKey, std::uint32_t storedChunk,
                       std::size_t chunk, const unsigned char* vaultKey) {
    const ExpectedBody expected = expectedBody(plain, chunk, dataKey);
    std::string body = expected.body;
    body.resize(expected.length, '\x77');  // the bytes after a whole-block last chunk carry nothing
    std::string header(512, '\0');
    unsigned char* h = reinterpret_cast<unsigned char*>(&header[0]);
    encfile::putU32(h + 0, 0xA35F71DA);
    encfile::putU64(h + 4, plain.size());
    std::memcpy(h + 12, expected.digest.data(), 16);
    std::string wrapped = blowfishCbcEncrypt(std::string(reinterpret_cast<const char*>(dataKey), 16), vaultKey);
    std::memcpy(h + 28, wrapped.data(), 16);
    encfile::putU32(h + 52, 0x7A000000);
    encfile::putU32(h + 56, 0x01D00000);
    encfile::putU32(h + 60, FILE_ATTRIBUTE_ARCHIVE);
    encfile::putU64(h + 68, 512 + body.size());
    std::memcpy(h + 84, TestVaultID, 16);
    encfile::putU32(h + 100, storedChunk);
    encfile::putU32(h + 104, 6);
    std::memcpy(h + 108, "Golden", 6);
    return header + body;
}

std::string smallGoldenFile() { return goldenFile(patternBytes(100, 99), TestDataKey, 1024, 1024, TestVaultKey); }

JobResult encryptFile(const std::string& plain, HWND) {
    JobWindow window;
    FileEncryptionJob job;
    setUpJob(job, plain, plain + encfile::Extension, window.handle());
    JobResult result;
    result.finished = window.run(EncryptFunc, job);
    result.messages = window.messages;
    result.last = window.last();
    return result;
}

JobResult decryptFile(const std::string& plain, const unsigned char* vaultKey) {
    JobWindow window;
    FileEncryptionJob job;
    setUpJob(job, plain + encfile::Extension, plain, window.handle(), TestDataKey, vaultKey);
    JobResult result;
    result.finished = window.run(DecryptFunc, job);
    result.messages = window.messages;
    result.last = window.last();
    return result;
}

}  // namespace fileenctest
