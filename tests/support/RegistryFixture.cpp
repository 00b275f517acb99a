// Clearing the product's registry key and reading values raw, as another program would see them.
#include "tests/support/RegistryFixture.h"

#include "framework/Win32Handles.h"

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
    win32::RegistryKeyHandle key;
    if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_READ, key.out()) != ERROR_SUCCESS) return value;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.bytes.resize(size);
        if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type, value.bytes.data(), &size) == ERROR_SUCCESS) {
            value.bytes.resize(size);
            value.exists = true;
        }
    }
    return value;
}

}  // namespace brimtest
