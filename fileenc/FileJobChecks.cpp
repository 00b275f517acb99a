// The checks before a file job, in the order the user meets them, and the messages after it.
#include "fileenc/FileJobChecks.h"

#include "base/Notice.h"
#include "base/ProductNames.h"
#include "fileenc/EncryptedFile.h"
#include "fileenc/FileEncryptionJob.h"
#include "fileenc/WindowsErrorMessages.h"
#include "framework/Win32Handles.h"
#include "vault/SecureMemory.h"

#include <cstring>
#include <vector>

namespace {


std::string fill(const char* pattern, const std::string& first, const std::string& second = std::string()) {
    std::string text = pattern;
    std::size_t at = text.find("%s");
    if (at == std::string::npos) return text;
    text.replace(at, 2, first);
    at = text.find("%s", at + first.size());
    if (at != std::string::npos) text.replace(at, 2, second);
    return text;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The path made full against the current folder ("." and ".." resolved, slashes turned); the path
// itself when that fails.
std::string fullPathOf(const std::string& path) {
    char buffer[2 * MAX_PATH];
    const DWORD n = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
    return n && n < sizeof buffer ? std::string(buffer, n) : path;
}

// The file's length, opened for reading to measure it; 0 when it cannot be opened.
std::uint64_t measuredLength(const std::string& path) {
    win32::FileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size = {};
    if (!file.valid() || !GetFileSizeEx(file.get(), &size)) return 0;
    return static_cast<std::uint64_t>(size.QuadPart);
}

bool endsAt(const std::string& path, std::size_t found, std::size_t length) {
    return found != std::string::npos && found + length == path.size();
}

// The program's own files by extension: only the first of the extensions found
// (in this order, exact case) counts, and only when it ends the path.
bool hasProgramFileExtension(const std::string& path) {
    for (const char* extension : {".vlt", ".kvt", ".bvt", ".bkv"}) {
        std::size_t found = path.find(extension);
        if (found != std::string::npos) return endsAt(path, found, 4);
    }
    return false;
}

bool looksExecutable(const std::string& path) {
    std::size_t found = path.find(".dll");
    if (found == std::string::npos) found = path.find(".exe");
    return endsAt(path, found, 4);
}

std::string folderOf(const std::string& path) {
    std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string installFolder() {
    win32::RegistryKeyHandle key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, product::SettingsKeyPath, 0, KEY_READ, key.out()) != ERROR_SUCCESS) return {};
    DWORD type = 0, size = 0;
    if (RegQueryValueExA(key.get(), "UIL", nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size == 0) return {};
    std::vector<char> bytes(size + 1, '\0');
    if (RegQueryValueExA(key.get(), "UIL", nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size) !=
        ERROR_SUCCESS)
        return {};
    std::string folder(bytes.data());
    while (folder.size() > 3 && folder.back() == '\\') folder.pop_back();
    return folder;
}

bool sameVaultID(const unsigned char a[16], const unsigned char b[16]) { return std::memcmp(a, b, 16) == 0; }

}  // namespace

std::string freeSpaceRoot(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':') return path.substr(0, 3);
    if (path.compare(0, 2, "\\\\") == 0) {
        std::size_t serverEnd = path.find('\\', 2);
        if (serverEnd == std::string::npos) return path + "\\";
        std::size_t shareEnd = path.find('\\', serverEnd + 1);
        return shareEnd == std::string::npos ? path + "\\" : path.substr(0, shareEnd + 1);
    }
    return std::string();
}

bool enoughFreeSpace(const std::string& root, std::uint64_t needed, bool fitsExactly) {
    const char* rootName = root.empty() ? nullptr : root.c_str();
    using FreeSpaceEx = BOOL(WINAPI*)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    auto freeSpaceEx = reinterpret_cast<FreeSpaceEx>(
        reinterpret_cast<void*>(kernel ? GetProcAddress(kernel, "GetDiskFreeSpaceExA") : nullptr));
    if (freeSpaceEx) {
        ULARGE_INTEGER available = {}, total = {}, free = {};
        if (!freeSpaceEx(rootName, &available, &total, &free)) return true;
        return available.QuadPart >= needed;
    }
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    if (!GetDiskFreeSpaceA(rootName, &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters) ||
        sectorsPerCluster == 0 || bytesPerSector == 0)
        return true;
    std::uint64_t neededClusters = needed / bytesPerSector / sectorsPerCluster;
    return fitsExactly ? neededClusters <= freeClusters : neededClusters < freeClusters;
}

std::string FileJobChecks::namePart(const std::string& path) {
    std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

void FileJobChecks::notice(const std::string& text) {
    ShowNotice(host_.messageOwner(), text, product::Title, mbsOk, mbiInformation);
}

void FileJobChecks::warning(const std::string& text) {
    ShowNotice(host_.messageOwner(), text, product::Title, mbsOk, mbiCaution);
}

FileStep FileJobChecks::ask(const std::string& text, bool& flag) {
    switch (ShowNotice(host_.messageOwner(), text, product::Title, mbsYesAllNoAbort, mbiInformation)) {
    case mbrYes: return fsDone;
    case mbrYesToAll: flag = false; return fsDone;
    case mbrAbort: return fsStopBatch;
    default: return fsSkipped;
    }
}

void FileJobChecks::showFileError(DWORD code, const std::string& name) { notice(WindowsErrorMessages(code, name)); }

// Full paths compared without case: a relative vault folder, another spelling of the same path
// or an upper-case extension still names the open vault's own file.
bool FileJobChecks::isVaultFile(const std::string& path) {
    const std::string full = fullPathOf(path);
    for (const std::string& vaultFile : host_.vaultFiles())
        if (!vaultFile.empty() && lstrcmpiA(fullPathOf(vaultFile).c_str(), full.c_str()) == 0) return true;
    return false;
}

JobDialogResult FileJobChecks::runEncryptDialog(const std::string& path) {
    Secret16 vaultKey, dataKey;
    unsigned char vaultID[16] = {};
    DWORD error = 0;
    // Without a stored chain step the job would run with a zero or a reused key: it does not run.
    if (!host_.nextDataKey(dataKey.data(), error)) {
        FailKind = NoDataKey;
        ErrorCode = error;
        return jdEncryptFailed;
    }
    host_.copyVaultKey(vaultKey.data());
    host_.readVaultID(vaultID);
    FileJobSetup setup;
    setup.sourcePath = path;
    setup.destPath = path + encfile::Extension;
    setup.encrypting = true;
    setup.vaultID = vaultID;
    setup.fileKey = dataKey.data();
    setup.vaultKey = vaultKey.data();
    setup.vaultName = host_.vaultName();
    FileJobReport report = host_.runFileJob(setup);
    if (report.modalResult != 2) return jdDone;
    FailKind = report.failKind;
    ErrorCode = report.errorCode;
    return jdEncryptFailed;
}

JobDialogResult FileJobChecks::runDecryptDialog(const std::string& path) {
    Secret16 vaultKey;
    host_.copyVaultKey(vaultKey.data());
    FileJobSetup setup;
    setup.sourcePath = path + encfile::Extension;
    setup.destPath = path;
    setup.encrypting = false;
    setup.vaultKey = vaultKey.data();
    setup.vaultName = host_.vaultName();
    FileJobReport report = host_.runFileJob(setup);
    if (report.modalResult != 2) return jdDone;
    FailKind = report.failKind;
    ErrorCode = report.errorCode;
    return jdDecryptFailed;
}

FileStep FileJobChecks::encryptFile(const std::string& path, bool singleFile, bool& askReadOnly, bool& askSystem,
                               bool& notifyEncrypted, bool& askOverwrite) {
    const std::string name = namePart(path);
    std::string root = freeSpaceRoot(path);
    if (!enoughFreeSpace(root, measuredLength(path) + encfile::HeaderSize, false)) {
        notice(fill("There is not enough room on drive %s to encrypt %s", root, name));
        return fsSkipped;
    }
    if (!exists(path)) {
        notice(fill("The file %s could not be found.  Perhaps it is on a drive that has been removed or the file has "
                    "been deleted.",
                    name));
        return fsSkipped;
    }
    if (IsEncrypted(path)) {
        if (notifyEncrypted)
            notice(singleFile ? fill("The file %s is already encrypted.", name)
                              : "An encrypted file(s) was found in your list and will be skipped.");
        notifyEncrypted = false;
        return fsSkipped;
    }
    if (hasProgramFileExtension(path) || isVaultFile(path)) {
        warning("You are attempting to encrypt a Brimsafe program file.  These files cannot be encrypted.  This file "
                "will be skipped.");
        return fsSkipped;
    }
    std::string install = installFolder();
    if (!install.empty() && lstrcmpiA(folderOf(path).c_str(), install.c_str()) == 0) {
        warning("You cannot encrypt files within your Brimsafe install folder.  This file will be skipped.");
        return fsSkipped;
    }
    DWORD attributes = GetFileAttributesA(path.c_str());
    FileStep answer = fsDone;
    if (askSystem && (looksExecutable(path) || (attributes & FILE_ATTRIBUTE_SYSTEM)) &&
        (answer = ask(fill("%s appears to be a system file or executable.  Are you sure you want to encrypt this "
                           "file?",
                           name),
                      askSystem)) != fsDone)
        return answer;
    if (askReadOnly && (attributes & FILE_ATTRIBUTE_READONLY) &&
        (answer = ask(fill("%s is flagged READ ONLY.  Are you sure you want to encrypt this file?", name),
                      askReadOnly)) != fsDone)
        return answer;
    if (askOverwrite && exists(path + encfile::Extension) &&
        (answer = ask(fill("Brimsafe found an encrypted file with the same name as %s.  This could be the result of a "
                           "previously aborted attempt to encrypt this file.  If so, select Yes to overwrite it.  "
                           "Would you like to continue overwrite it?",
                           name),
                      askOverwrite)) != fsDone)
        return answer;
    return runEncryptDialog(path) == jdDone ? fsDone : encryptionOutcome(path);
}

FileStep FileJobChecks::encryptionOutcome(const std::string& path) {
    const std::string name = namePart(path);
    switch (FailKind) {
    case fjoStopped: return fsStopBatch;
    case fjoNotWiped:
        notice(fill("%s was successfully encrypted, but Brimsafe was unable to securely delete the original file.  It "
                    "could be that the file is in use by another program.  You will need to delete the unencrypted "
                    "file manually.",
                    name));
        return fsDone;
    case fjoLibraryMissing: warning("Some of your files are missing or corrupt.  Please reinstall Brimsafe."); return fsSkipped;
    case fjoFileError: showFileError(ErrorCode, name); return fsSkipped;
    case NoDataKey:
        if (ErrorCode) showFileError(ErrorCode, name);
        return fsSkipped;
    case fjoAnotherJobRunning:
        notice("Another Brimsafe window is encrypting or decrypting a file.  Please try again when it has finished.");
        return fsSkipped;
    default: notice("There was a problem encrypting your file."); return fsSkipped;
    }
}

FileStep FileJobChecks::decryptFile(const std::string& path, bool singleFile, bool& notifyDecrypted, bool& askOverwrite) {
    const std::string name = namePart(path);
    const std::string encrypted = path + encfile::Extension;
    const std::string idPath = path.size() >= encfile::ExtensionLength &&
                                       path.compare(path.size() - encfile::ExtensionLength, encfile::ExtensionLength,
                                                    encfile::Extension) == 0
                                   ? path
                                   : encrypted;
    if (exists(idPath)) {
        unsigned char fileVault[16], openVault[16] = {};
        ReadVaultID(idPath, fileVault);
        host_.readVaultID(openVault);
        if (!sameVaultID(fileVault, openVault)) {
            std::optional<std::string> vaultName = ReadVaultName(idPath);
            notice(vaultName ? fill("The file %s was encrypted with the vault \"%s\" and cannot be decrypted by this "
                                    "one.",
                                    name, *vaultName)
                             : fill("The file %s was encrypted with a different vault and cannot be decrypted by "
                                    "this one.",
                                    name));
            return fsSkipped;
        }
    }
    std::string root = freeSpaceRoot(path);
    std::uint64_t length = measuredLength(encrypted);
    std::uint64_t needed = length > encfile::HeaderSize ? length - encfile::HeaderSize : 0;
    if (!enoughFreeSpace(root, needed, true)) {
        notice(fill("There is not enough room on drive %s to decrypt %s", root, name));
        return fsSkipped;
    }
    const bool plainExists = exists(path), encryptedExists = exists(encrypted);
    if (plainExists && !encryptedExists) {
        if (notifyDecrypted)
            notice(singleFile ? fill("The file %s is already decrypted.", name)
                              : "A decrypted file(s) was found in the selection of files you are decrypting and will "
                                "be skipped.");
        notifyDecrypted = false;
        return fsSkipped;
    }
    if (!encryptedExists) {
        notice(fill("The encrypted file %s could not be found.  Perhaps it is on a drive that has been removed or the "
                    "file has been deleted.",
                    name));
        return fsSkipped;
    }
    FileStep answer = fsDone;
    if (askOverwrite && plainExists &&
        (answer = ask(fill("You already have a file decrypted with the name %s.  This could be the result of a "
                           "previous attempt to decrypt it.  If so, select Yes to overwrite it.  Would you like to "
                           "overwrite it?",
                           name),
                      askOverwrite)) != fsDone)
        return answer;
    return runDecryptDialog(path) == jdDone ? fsDone : decryptionOutcome(path);
}

FileStep FileJobChecks::decryptionOutcome(const std::string& path) {
    const std::string name = namePart(path);
    switch (FailKind) {
    case fjoStopped: return fsStopBatch;
    case fjoLibraryMissing:
        warning("Some of the Brimsafe files are missing or corrupt.  Please reinstall Brimsafe.");
        return fsSkipped;
    case fjoFileError: showFileError(ErrorCode, name); return fsSkipped;
    case fjoDigestMismatch:
        notice("The contents of the decrypted file did not match the original file.  This could mean that the file "
               "has been corrupted or that the file was not encrypted with this vault.");
        return fsSkipped;
    case fjoNotEncryptedFile: notice(fill("The file %s is not a valid Brimsafe encrypted file.", name)); return fsSkipped;
    case fjoAnotherJobRunning:
        notice("Another Brimsafe window is encrypting or decrypting a file.  Please try again when it has finished.");
        return fsSkipped;
    default: notice("There was a problem decrypting your file."); return fsSkipped;
    }
}

FileStep FileJobChecks::encryptSingleFile(const std::string& path) {
    bool askReadOnly = true, askSystem = true, notifyEncrypted = true, askOverwrite = true;
    return encryptFile(path, true, askReadOnly, askSystem, notifyEncrypted, askOverwrite);
}

FileStep FileJobChecks::decryptSingleFile(const std::string& path) {
    bool notifyDecrypted = true, askOverwrite = true;
    return decryptFile(path, true, notifyDecrypted, askOverwrite);
}
