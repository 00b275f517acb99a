/*
 * Learns a volume's cluster size by reading its boot sector directly: through
 * the raw volume device on the NT family, through the "\\.\vwin32" device on
 * Windows 95/98. The sector is kept three times, as the FAT12/16, the FAT32
 * and the NTFS layout see it; all three start at the sector's first byte, so
 * bytes per sector (offset 11) and sectors per cluster (13) are the same
 * bytes in each.
 *
 * Raw volume reads need rights a normal user rarely has, and some platforms
 * (Wine among them) do not offer them at all: then the copies stay zero and
 * GetClusterSize answers 0. The wipe then asks the file system instead.
 */
#pragma once

#include <windows.h>

#include <cstdint>

class ClusterSize {
public:
    enum FileSystem : unsigned char { fsUnknown = 0, fsNTFS = 1, fsFAT12 = 12, fsFAT16 = 16, fsFAT32 = 32 };
    enum ReadMethod : std::uint16_t {
        rmNone = 0,
        rmVwin32 = 1,          // absolute disk read interrupt through vwin32
        rmVwin32ExtEarly = 2,  // extended absolute disk read, Windows 95/98 builds 1001-2999
        rmVwin32Ext = 3,       // the same, builds 3000 and later
        rmNT = 4,              // raw volume read
    };

    ClusterSize();

    // Stores an upper-case drive letter and reads its boot sector; false and no
    // change when the character is not a letter.
    bool SetDrive(char letter);
    // Whether the file system was recognised.
    bool ReadBootSector();
    // Reads count 512-byte sectors from firstSector by the chosen method.
    bool ReadSectors(unsigned char* buffer, std::uint32_t firstSector, std::uint16_t count);
    // Bytes per sector times sectors per cluster of the copy that fits the type; 0 when nothing was read.
    std::uint32_t GetClusterSize() const;

    // Steps after the raw read: keeps the sector's copies and tells the type from
    // the file-system name the system reports for the root folder. Whether it was recognised.
    bool RecogniseBootSector(const unsigned char sector[512], const char* fileSystemName);

    unsigned char fileSystemType() const { return fsType; }
    std::uint16_t method() const { return readMethod; }
    char driveLetter() const { return drive; }

private:
    bool ReadSectorsNT(unsigned char* buffer, std::uint32_t firstSector, std::uint16_t count);
    bool ReadSectorsVwin32Ext(unsigned char* buffer, std::uint32_t firstSector, std::uint16_t count);
    bool ReadSectorsVwin32(unsigned char* buffer, std::uint32_t firstSector, std::uint16_t count);
    void chooseReadMethod();

    unsigned char fatBoot[62];
    unsigned char fat32Boot[90];
    unsigned char ntfsBoot[84];
    char drive;
    unsigned char fsType;
    std::uint16_t readMethod;
};
