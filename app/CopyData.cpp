// Reading WM_COPYDATA commands and deciding when they run (see CopyData.h).
#include "app/CopyData.h"

#include <cctype>
#include <cstring>

bool isFullVaultPath(const std::string& path) {
    const bool drive = path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
                       path[2] == '\\';
    const bool share = path.size() >= 3 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\';
    if (!drive && !share) return false;
    const std::size_t slash = path.find_last_of('\\');
    const std::string file = path.substr(slash + 1);
    const std::size_t dot = file.find_last_of('.');
    if (dot == std::string::npos || dot == 0) return false;
    const std::string ending = file.substr(dot);
    return ending == ".vlt" || ending == ".kvt";
}

std::optional<CopyDataRequest> readCopyData(const COPYDATASTRUCT* data) {
    if (!data) return std::nullopt;
    CopyDataRequest request;
    request.command = static_cast<int>(data->dwData);
    switch (data->dwData) {
    case cdExit:
        return request;
    case cdOpenVault:
    case cdRestoreVault:
    case cdOpenFile:
    case cdAddFile:
        break;
    default:
        return std::nullopt;
    }
    if (!data->lpData || data->cbData == 0) return std::nullopt;
    const char* bytes = static_cast<const char*>(data->lpData);
    const void* zero = std::memchr(bytes, 0, data->cbData);
    if (!zero) return std::nullopt;
    request.path.assign(bytes, static_cast<const char*>(zero) - bytes);
    if (request.path.empty()) return std::nullopt;
    if (request.command == cdOpenVault && !isFullVaultPath(request.path)) return std::nullopt;
    return request;
}

CommandAction commandAction(int command, bool vaultOpen, bool busy) {
    if (!vaultOpen) return command == cdExit ? CommandAction::EndWithoutSaving : CommandAction::Ignore;
    return busy ? CommandAction::Wait : CommandAction::Run;
}
