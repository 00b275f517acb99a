/*
 * fileenc_benchmark's run through the real progress dialog: the same
 * encryption and decryption once by the worker alone (no window, nothing
 * posted) and once shown modally in TFrm_FileEncryption, with one progress
 * message per chunk and the bar repainted for each. The dialog must not slow
 * a job: its figures are given as ratios to the worker alone. The pause that
 * keeps 100 % on show is set to 0 for both, so only the work is timed.
 */
#include "components/runtime/qclclass.h"
#include "fileenc/EncryptedFile.h"
#include "fileenc/FileJobWorker.h"
#include "fileenc/QZ_Frm_FileEncryption.h"
#include "framework/Framework.h"
#include "framework/Win32Handles.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const unsigned char DataKey[16] = {3, 1, 4, 1, 5, 9, 2, 6, 5, 3, 5, 8, 9, 7, 9, 3};
const unsigned char VaultKey[16] = {2, 7, 1, 8, 2, 8, 1, 8, 2, 8, 4, 5, 9, 0, 4, 5};
const unsigned char VaultID[16] = {1, 4, 1, 4, 2, 1, 3, 5, 6, 2, 3, 7, 3, 0, 9, 5};

double seconds() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool writeFile(const std::string& path, std::uint64_t bytes) {
    win32::FileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    std::vector<unsigned char> block(1024 * 1024);
    for (std::uint64_t at = 0; at < bytes; at += block.size()) {
        for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<unsigned char>((at + i) * 77 + (i >> 7));
        const DWORD size = static_cast<DWORD>(std::min<std::uint64_t>(block.size(), bytes - at));
        DWORD written = 0;
        if (!WriteFile(file.get(), block.data(), size, &written, nullptr) || written != size) return false;
    }
    return true;
}

std::uint64_t sizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

FileJobSetup setupFor(const std::string& plain, bool encrypting) {
    FileJobSetup setup;
    setup.sourcePath = encrypting ? plain : plain + encfile::Extension;
    setup.destPath = encrypting ? plain + encfile::Extension : plain;
    setup.encrypting = encrypting;
    setup.vaultID = encrypting ? VaultID : nullptr;
    setup.fileKey = encrypting ? DataKey : nullptr;
    setup.vaultKey = VaultKey;
    setup.vaultName = "Benchmark";
    return setup;
}

double byWorker(const std::string& plain, bool encrypting) {
    FileEncryptionJob& job = TFrm_FileEncryption::Job();
    job.prepare(setupFor(plain, encrypting), nullptr);
    const double start = seconds();
    win32::KernelHandle thread(CreateThread(nullptr, 0, encrypting ? EncryptFunc : DecryptFunc, &job, 0, nullptr));
    if (thread) WaitForSingleObject(thread.get(), INFINITE);
    return seconds() - start;
}

// Processor time of the calling thread, in seconds.
double threadProcessorSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    auto toSeconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return toSeconds(kernel) + toSeconds(user);
}

double dialogThreadSeconds = 0;  // what the window's own thread spent on the dialog runs

double byDialog(TFrm_FileEncryption* dialog, const std::string& plain, bool encrypting, bool& done) {
    dialog->SetJob(setupFor(plain, encrypting));
    const double start = seconds(), processorStart = threadProcessorSeconds();
    done = dialog->ShowModal() == mrOk;
    dialogThreadSeconds += threadProcessorSeconds() - processorStart;
    return seconds() - start;
}

double rate(std::uint64_t bytes, double time) { return time > 0 ? static_cast<double>(bytes) / 1048576.0 / time : 0; }

}  // namespace

// Prints the four figures and their "result" lines; false when a job did not end as it should.
// Each mode runs twice, in the order worker, dialog, dialog, worker, every round from a freshly
// written plain file, so that neither the order nor the state of the disk cache favours one.
bool runThroughDialog(const std::string& plain, std::uint64_t bytes) {
    InitFramework();
    QCLInitApplication();
    Application->Initialize();
    TFrm_FileEncryption* dialog = MakeForm<TFrm_FileEncryption>(nullptr);
    TFrm_FileEncryption::Job().FinishPauseMs = 0;
    const std::string encrypted = plain + encfile::Extension;
    bool ok = true;
    double workerEncrypt = 0, workerDecrypt = 0, dialogEncrypt = 0, dialogDecrypt = 0;
    for (bool throughDialog : {false, true, true, false}) {
        ok = ok && writeFile(plain, bytes);
        bool encryptedDone = true, decryptedDone = true;
        (throughDialog ? dialogEncrypt : workerEncrypt) +=
            throughDialog ? byDialog(dialog, plain, true, encryptedDone) : byWorker(plain, true);
        ok = ok && encryptedDone && sizeOf(encrypted) > bytes && sizeOf(plain) == 0;
        (throughDialog ? dialogDecrypt : workerDecrypt) +=
            throughDialog ? byDialog(dialog, plain, false, decryptedDone) : byWorker(plain, false);
        ok = ok && decryptedDone && sizeOf(plain) == bytes && sizeOf(encrypted) == 0;
    }
    dialog->Free();
    DeleteFileA(plain.c_str());
    DeleteFileA(encrypted.c_str());

    const std::uint64_t timed = 2 * bytes;
    const struct {
        const char* name;
        double time;
        double alone;
    } figures[] = {
        {"job-encrypt", workerEncrypt, 0},
        {"dialog-encrypt", dialogEncrypt, workerEncrypt},
        {"job-decrypt", workerDecrypt, 0},
        {"dialog-decrypt", dialogDecrypt, workerDecrypt},
    };
    std::printf("through the progress dialog (ratio to the worker alone, target >= 0.95):\n");
    for (const auto& f : figures) {
        const double ratio = f.alone > 0 && f.time > 0 ? f.alone / f.time : 0;
        std::printf("%-16s %10.1f %9.3f %8.2f\n", f.name, rate(timed, f.time), f.time, ratio);
    }
    for (const auto& f : figures)
        std::printf("result %s %.1f %.3f\n", f.name, rate(timed, f.time), f.alone > 0 && f.time > 0 ? f.alone / f.time : 0);
    std::printf("the window's thread spent %.3f s of processor time on the %.3f s of the dialog runs\n",
                dialogThreadSeconds, dialogEncrypt + dialogDecrypt);
    if (!ok) std::printf("the run through the dialog FAILED\n");
    QCLDoneApplication();
    return ok;
}
