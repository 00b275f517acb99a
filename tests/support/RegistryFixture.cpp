#include "tests/support/RegistryFixture.h"

namespace brimtest {

void clearProductRegistry() {
    LSTATUS status = RegDeleteTreeA(HKEY_CURRENT_USER, ProductKeyPath);
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
        RegDeleteKeyA(HKEY_CURRENT_USER, ProductKeyPath);
        return;
    }
    ADD_FAILURE() << "cannot clear HKCU\\" << ProductKeyPath << ": error " << status;
}

RawValue readRawValue(HKEY root, const std::string& keyPath, const std::string& name) {
    RawValue value;
    HKEY key;
    if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.bytes.resize(size);
        if (RegQueryValueExA(key, name.c_str(), nullptr, &value.type, value.bytes.data(), &size) == ERROR_SUCCESS) {
            value.bytes.resize(size);
            value.exists = true;
        }
    }
    RegCloseKey(key);
    return value;
}

}  // namespace brimtest
