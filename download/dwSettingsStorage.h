/*
 * The parts of the download controls' stored settings (WriteRegistry /
 * ReadRegistry, dwDC.h) that are not plain numbers and texts: the
 * certificate flags, and the multi-downloader's list of items.
 *
 * Passwords are never stored: neither the single control's nor an item's
 * goes into the registry blob, which nothing encrypts. After reading, a
 * password must be given again.
 */
#pragma once

#include "download/dwDCUtils.h"

#include "framework/Filer.h"

class TdwDownLoadList;

// "CertificateFlags": the set as an integer of flag bits (cfIgnoreCommonNameInvalid
// 1, cfIgnoreDateInvalid 2, cfIgnoreUnknownAuthority 4); unknown bits are dropped.
void dwDefineCertificateFlags(TFiler* Filer, TdwCertificateFlags& Flags);
int dwCertificateFlagBits(TdwCertificateFlags Flags);
TdwCertificateFlags dwCertificateFlagsOf(int Bits);

// "Items": a list of item records, each URL, LocalFile, UserName (texts),
// Priority, CertificateFlags (integers), UseInternetErrorDialog (boolean)
// and ResourcePos (integer). Reading replaces the list's items; a damaged
// record ends the reading with the items read so far.
void dwDefineDownLoadItems(TFiler* Filer, TdwDownLoadList* List);
