// System information of the component library (unit qclsysin): platform
// flags, non-client metrics, display, memory, versions, drives, folders,
// names, locale strings, the executable's version resource, and a text form
// of all of these selected by TQCLInfoType.
//
// Queries never fail: what the system refuses gives "(Unknown)", 0 or an
// empty string. Only the colour depth, the temporary file, the platform flags
// and the user name are used by the program's windows; the rest is built
// thinly for the library's other users.
#pragma once

#include "framework/Classes.h"

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

// Platform flags, set once when the program starts.
extern bool QCLSIWindows95;
extern bool QCLSIWindows98;
extern bool QCLSIWindowsNT;
extern bool QCLSIWindows2000;
extern bool QCLSIWindowsExtension;

// Non-client metrics in pixels.
int QCLNCBITMAPHEIGHT();
int QCLNCBITMAPWIDTH();
int QCLNCCAPTIONHEIGHT();
int QCLNCDLGBORDERWIDTH();
int QCLNCDLGBORDERHEIGHT();
int QCLNCFIXBORDERWIDTH();
int QCLNCFIXBORDERHEIGHT();
int QCLNCSIZEBORDERWIDTH();
int QCLNCSIZEBORDERHEIGHT();
int QCLNCBORDERWIDTH();
int QCLNCBORDERHEIGHT();
int QCLNCSMALLCAPTIONHEIGHT();
int QCLNCSMALLBITMAPHEIGHT();
int QCLNCSMALLBITMAPWIDTH();
int QCLNCCAPTIONICONHEIGHT();
int QCLNCCAPTIONICONWIDTH();
int QCLSIIconWidth();
int QCLSIIconHeight();
int QCLSISmallIconHeight();
int QCLSISmallIconWidth();

// The caption area of a window that a caller draws itself, and its text
// area. Flags: 1 and 2 are requests of the caller (text right edge, icon
// shift), 0x20 marks a caller-drawn icon; the call sets 4 (small caption),
// 8 (icon area reserved) and 0x10 (window minimised).
void QCLNCCalcDrawingArea(HWND Window, TRect& Caption, TRect& Text, int& Flags);

// Display and input.
uint8_t QCLSIColorDepth();
// Makes QCLSIColorDepth answer the given depth (0: the display's again), so
// tests reach the palette branches of 8-bit displays.
void QCLSISetColorDepthForTesting(uint8_t depth);
bool QCLSIStretchBltPossible();
int QCLSIScreenSaverDelay();
bool QCLSINumLock();
bool QCLSICapsLock();
bool QCLSIScrollLock();
// The shell's system image list (small icons unless Large).
HIMAGELIST QCLSISystemIconListHandle(bool Large);

// Memory (bytes, and the load in percent); free resources in percent, 100
// without "RSRC32.DLL".
uint64_t QCLSIMemTotal();
uint64_t QCLSIMemFree();
uint64_t QCLSIMemPageTotal();
uint64_t QCLSIMemPageFree();
uint64_t QCLSIMemVirtTotal();
uint64_t QCLSIMemVirtFree();
int QCLSIMemLoaded();
int QCLSIFreeSysRes();
int QCLSIFreeGDIRes();
int QCLSIFreeUserRes();

// Versions and processors.
uint16_t QCLSIMajorVersionNr();
uint16_t QCLSIMinorVersionNr();
uint16_t QCLSIBuildNr();
AnsiString QCLSIVersionString();
AnsiString QCLSIVersionStr();
double QCLSIVersionNr();
// major + minor / 10^(decimal digits of minor): 4.10 gives 4.1.
double QCLSIVersionNrOf(int major, int minor);
int QCLSIPlatformID();
AnsiString QCLSIPlatformStr();
AnsiString QCLSIPlatformStrOf(int platformId);
bool QCLSIOLDWindowsNT();
int QCLSIProcessorCount();
AnsiString QCLSIProcessorTypeStr();
AnsiString QCLSIProcessorTypeStrOf(DWORD processorType);

// Drives and folders.
struct TQCLDriveInfo {
    uint32_t DriveType = 0;
    uint64_t Size = 0;
    uint64_t Free = 0;
    uint32_t SectorsPerCluster = 0;
    uint32_t BytesPerSector = 0;
};
TQCLDriveInfo QCLSIDriveInfo(const AnsiString& Path);
void QCLSIDriveList(TStrings* List);
AnsiString QCLSIDriveTypeStr(uint32_t DriveType);
AnsiString QCLSITempPath();
AnsiString QCLSIWindowsDirectory();
AnsiString QCLSISystemDirectory();
// A new empty file "tmp…" in the temporary folder; empty when that fails.
AnsiString QCLSITempFile();
void QCLSIEnvironment(TStrings* List);

// Names and locale.
AnsiString QCLSIComputerName();
AnsiString QCLSIUserName();
AnsiString QCLSIRegisteredOwner();
AnsiString QCLSIRegisteredCompany();
LANGID QCLSISystemDefaultLanguageID();
AnsiString QCLSIGetTimeZone();
int QCLSIGetTimeZoneBias();
AnsiString QCLGetLocalInfo(int Index);

// Version resource of the executable.
enum TQCLVersionInfoType { viCompany, viName, viVersion, viCopyright, viTrademark, viDescription, viComments };
AnsiString QCLSIVersionInfo(TQCLVersionInfoType Kind);

// An estimate of the processor clock in MHz (takes about half a second).
uint32_t QCLSIGetCPUSpeed();

enum TQCLInfoType {
    itUser, itWinDir, itCurrentDir32, itCurrentDiskFree32, itCurrentDiskSize32, itSystemDir,
    itReg_Owner32, itReg_Company32, itVersion, itColorDepth, itScreenSaverDelay, itMemSize,
    itFreeSysRes, itFreeGDIRes, itFreeUserRes, itComputerName32, itMajorVerNr32, itBuildNr32,
    itMemLoaded32, itMemFree32, itMemPageFree32, itMemPageTotal32, itMemVirtFree32, itMemVirtTotal32,
    itPlatformID32, itPlatform32, itProcessorCont32, itProcessor32, itTempPath32, itDOSVersion,
    itNumLock, itCapsLock, itScroll, itCurrentDateTime, itProgCompany, itProgName, itProgVersion,
    itProgCopyright, itProgTrademark, itProgDescription, itProgComments, itCPUSpeed
};
AnsiString QCLSIInfoToString(TQCLInfoType Type);
// Numbers are divided by Divisor (0 counts as 1); Format formats the date and time.
AnsiString GetSystemInfoString(TQCLInfoType Type, int Divisor, const AnsiString& Format);
