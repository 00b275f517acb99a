// The hand-off of an encrypted file to the process that has its vault open.
#include "vault/EncryptedFileHandOff.h"

#include "vault/EncryptedFileLayout.h"
#include "vault/VaultFlows.h"

bool handOffEncryptedFile(const std::string& path) {
    unsigned char id[16];
    ReadVaultID(path, id);
    const std::string name = vaultIdText(id);
    // Only a probe: the handle goes at once, so no mutex of this process is left behind.
    HANDLE probe = CreateMutexA(nullptr, TRUE, name.c_str());
    const DWORD error = GetLastError();
    if (probe) CloseHandle(probe);
    if (error != ERROR_ALREADY_EXISTS) return false;
    HWND holder = FindWindowA(nullptr, name.c_str());
    if (!holder) return false;
    COPYDATASTRUCT data{};
    data.dwData = VaultFlows::OpenFileCommand;
    data.cbData = static_cast<DWORD>(path.size() + 1);
    data.lpData = const_cast<char*>(path.c_str());
    SendMessageA(holder, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
    return true;
}
