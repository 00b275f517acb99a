// Raw boot-sector reads per Windows family, and the recognition of the sector as read. The
// vwin32 register layouts are those of the Windows 95/98 device interface.
#include "fileenc/ClusterSize.h"

#include "framework/Win32Handles.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

constexpr DWORD SectorBytes = 512;
constexpr DWORD VWIN32_DIOC_DOS_INT25 = 2;     // absolute disk read
constexpr DWORD VWIN32_DIOC_DOS_DRIVEINFO = 6; // DOS service call (extended disk access)
constexpr DWORD CarryFlag = 1;

struct DiocRegisters {
    DWORD reg_EBX, reg_EDX, reg_ECX, reg_EAX, reg_EDI, reg_ESI, reg_Flags;
};

#pragma pack(push, 1)
struct DiskTransferPacket {
    DWORD firstSector;
    WORD sectorCount;
    DWORD bufferAddress;
};
#pragma pack(pop)

std::uint16_t u16At(const unsigned char* bytes, std::size_t offset) {
    return static_cast<std::uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

bool labelIs(const unsigned char* label, const char* expected) {
    // Labels are compared on their first five characters only.
    return std::strncmp(reinterpret_cast<const char*>(label), expected, 5) == 0;
}

#ifndef _WIN64
// The vwin32 interface exists only for 32-bit programs on Windows 95/98: it
// passes buffer addresses in 32-bit register fields. A 64-bit build has no
// such system to run on, so these reads are compiled out there and fail.
DWORD bufferAddress(const void* pointer) {
    return static_cast<DWORD>(reinterpret_cast<UINT_PTR>(pointer));
}

bool callVwin32(DWORD controlCode, DiocRegisters& registers) {
    win32::FileHandle device(CreateFileA("\\\\.\\vwin32", 0, 0, nullptr, 0, FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!device.valid()) return false;
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(device.get(), controlCode, &registers, sizeof registers, &registers,
                              sizeof registers, &returned, nullptr);
    return ok && !(registers.reg_Flags & CarryFlag);
}
#endif

}  // namespace

ClusterSize::ClusterSize() : drive(0), fsType(fsUnknown), readMethod(rmNone) {
    std::memset(fatBoot, 0, sizeof fatBoot);
    std::memset(fat32Boot, 0, sizeof fat32Boot);
    std::memset(ntfsBoot, 0, sizeof ntfsBoot);
}

bool ClusterSize::SetDrive(char letter) {
    if (!std::isalpha(static_cast<unsigned char>(letter))) return false;
    drive = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
    return ReadBootSector();
}

void ClusterSize::chooseReadMethod() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    BOOL known = GetVersionExA(&version);
#pragma GCC diagnostic pop
    if (known && version.dwPlatformId == VER_PLATFORM_WIN32_NT) {
        readMethod = rmNT;
        return;
    }
    DWORD build = version.dwBuildNumber & 0xFFFF;
    if (known && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && build > 1000)
        readMethod = build < 3000 ? rmVwin32ExtEarly : rmVwin32Ext;
    else
        readMethod = rmVwin32;
}

bool ClusterSize::ReadBootSector() {
    chooseReadMethod();
    unsigned char sector[SectorBytes] = {};
    if (!ReadSectors(sector, 0, 1)) {
        if (readMethod != rmVwin32ExtEarly && readMethod != rmVwin32Ext) return false;
        readMethod = rmVwin32;
        if (!ReadSectors(sector, 0, 1)) return false;
    }
    char root[4];
    std::snprintf(root, sizeof root, "%c:\\", drive);
    char fileSystemName[MAX_PATH + 1] = {};
    if (!GetVolumeInformationA(root, nullptr, 0, nullptr, nullptr, nullptr, fileSystemName, sizeof fileSystemName)) {
        std::memcpy(ntfsBoot, sector, sizeof ntfsBoot);
        std::memcpy(fatBoot, sector, sizeof fatBoot);
        std::memcpy(fat32Boot, sector, sizeof fat32Boot);
        return false;
    }
    return RecogniseBootSector(sector, fileSystemName);
}

bool ClusterSize::RecogniseBootSector(const unsigned char sector[512], const char* fileSystemName) {
    std::memcpy(ntfsBoot, sector, sizeof ntfsBoot);
    std::memcpy(fatBoot, sector, sizeof fatBoot);
    std::memcpy(fat32Boot, sector, sizeof fat32Boot);
    if (lstrcmpiA(fileSystemName, "NTFS") == 0) {
        fsType = fsNTFS;
        return true;
    }
    if (lstrcmpiA(fileSystemName, "FAT") != 0 && lstrcmpiA(fileSystemName, "FAT16") != 0 &&
        lstrcmpiA(fileSystemName, "FAT32") != 0)
        return false;
    if (labelIs(fat32Boot + 82, "FAT32")) {
        fsType = fsFAT32;
    } else if (labelIs(fatBoot + 54, "FAT16")) {
        fsType = fsFAT16;
    } else {
        std::uint16_t totalSectors = u16At(fatBoot, 19);
        if (totalSectors != 0 && totalSectors < 32680 && u16At(fatBoot, 11) == 512 && fatBoot[16] == 2)
            fsType = fsFAT12;
        else
            return false;
    }
    return true;
}

bool ClusterSize::ReadSectors(unsigned char* buffer, std::uint32_t firstSector, std::uint16_t count) {
    switch (readMethod) {
    case rmNT: return ReadSectorsNT(buffer, firstSector, count);
    case rmVwin32ExtEarly:
    case rmVwin32Ext: return ReadSectorsVwin32Ext(buffer, firstSector, count);
    case rmVwin32: return ReadSectorsVwin32(buffer, firstSector, count);
    default: return false;
    }
}

std::uint32_t ClusterSize::GetClusterSize() const {
    const unsigned char* boot = fsType == fsNTFS ? ntfsBoot : fsType == fsFAT32 ? fat32Boot : fatBoot;
    return static_cast<std::uint32_t>(u16At(boot, 11)) * boot[13];
}

bool ClusterSize::ReadSectorsNT(unsigned char* buffer, std::uint32_t firstSector, std::uint16_t count) {
    char device[] = "\\\\.\\a:";
    device[4] = drive;
    win32::FileHandle volume(
        CreateFileA(device, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!volume.valid()) return false;
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(firstSector) * SectorBytes;
    if (!SetFilePointerEx(volume.get(), position, nullptr, FILE_BEGIN)) return false;
    DWORD wanted = static_cast<DWORD>(count) * SectorBytes, read = 0;
    return ReadFile(volume.get(), buffer, wanted, &read, nullptr) && read == wanted;
}

#ifdef _WIN64
bool ClusterSize::ReadSectorsVwin32Ext(unsigned char*, std::uint32_t, std::uint16_t) { return false; }
bool ClusterSize::ReadSectorsVwin32(unsigned char*, std::uint32_t, std::uint16_t) { return false; }
#else
bool ClusterSize::ReadSectorsVwin32Ext(unsigned char* buffer, std::uint32_t firstSector, std::uint16_t count) {
    DiskTransferPacket packet = {firstSector, count, bufferAddress(buffer)};
    DiocRegisters registers = {};
    registers.reg_EAX = 0x7305;
    registers.reg_EBX = bufferAddress(&packet);
    registers.reg_ECX = 0xFFFFFFFF;
    registers.reg_EDX = static_cast<DWORD>(drive - 'A' + 1);
    registers.reg_ESI = 0x6000;
    registers.reg_Flags = CarryFlag;
    if (callVwin32(VWIN32_DIOC_DOS_DRIVEINFO, registers)) return true;
    // The one message of the program that is not a skinned box: it belongs to Windows 95/98 only.
    std::string text = "Error: " + std::to_string(GetLastError());
    MessageBoxA(nullptr, text.c_str(), "Drive Control Error", MB_OK | MB_ICONERROR);
    return false;
}

bool ClusterSize::ReadSectorsVwin32(unsigned char* buffer, std::uint32_t firstSector, std::uint16_t count) {
    DiskTransferPacket packet = {firstSector, count, bufferAddress(buffer)};
    DiocRegisters registers = {};
    registers.reg_EAX = static_cast<DWORD>(drive - 'A');
    registers.reg_EBX = bufferAddress(&packet);
    registers.reg_ECX = 0xFFFFFFFF;
    registers.reg_Flags = CarryFlag;
    return callVwin32(VWIN32_DIOC_DOS_INT25, registers);
}
#endif
