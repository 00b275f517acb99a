// What the worker does when sending a request fails: raise, ask WinInet's
// error dialog, add the allowed certificate ignores to the request's security
// flags, or ask the owner for a client certificate.
#include "download/dwDC.h"

#include <gtest/gtest.h>

namespace {

using Step = TdwCertificateStep;

TEST(CertificateStep, DecisionTable) {
    const TdwCertificateFlags none, date{cfIgnoreDateInvalid}, name{cfIgnoreCommonNameInvalid},
        all{cfIgnoreCommonNameInvalid, cfIgnoreDateInvalid, cfIgnoreUnknownAuthority};
    const DWORD allIgnores =
        SECURITY_FLAG_IGNORE_CERT_CN_INVALID | SECURITY_FLAG_IGNORE_CERT_DATE_INVALID | SECURITY_FLAG_IGNORE_UNKNOWN_CA;
    const struct {
        const char* what;
        DWORD code, previous;
        bool secure;
        TdwCertificateFlags flags;
        bool dialog;
        DWORD current;
        Step step;
        DWORD securityFlags;
    } cases[] = {
        {"date invalid, allowed", ERROR_INTERNET_SEC_CERT_DATE_INVALID, 0, true, date, false, 0, Step::AddSecurityFlags,
         SECURITY_FLAG_IGNORE_CERT_DATE_INVALID},
        {"name invalid, allowed", ERROR_INTERNET_SEC_CERT_CN_INVALID, 0, true, name, false, 0, Step::AddSecurityFlags,
         SECURITY_FLAG_IGNORE_CERT_CN_INVALID},
        {"unknown authority, all kept flags", ERROR_INTERNET_INVALID_CA, 0, true, all, false, 0x100,
         Step::AddSecurityFlags, 0x100 | allIgnores},
        {"no flags allowed: unchanged, so the resend fails the same way", ERROR_INTERNET_INVALID_CA, 0, true, none,
         false, 0x100, Step::AddSecurityFlags, 0x100},
        {"plain HTTP", ERROR_INTERNET_INVALID_CA, 0, false, all, false, 0, Step::Raise, 0},
        {"same code again", ERROR_INTERNET_SEC_CERT_DATE_INVALID, ERROR_INTERNET_SEC_CERT_DATE_INVALID, true, all,
         false, 0, Step::Raise, 0},
        {"client certificate", ERROR_INTERNET_CLIENT_AUTH_CERT_NEEDED, 0, false, none, false, 0,
         Step::AskClientCertificate, 0},
        {"client certificate again", ERROR_INTERNET_CLIENT_AUTH_CERT_NEEDED, ERROR_INTERNET_CLIENT_AUTH_CERT_NEEDED,
         true, none, false, 0, Step::Raise, 0},
        {"cannot connect", ERROR_INTERNET_CANNOT_CONNECT, 0, true, all, false, 0, Step::Raise, 0},
        {"error dialog takes any code", ERROR_INTERNET_CANNOT_CONNECT, 0, false, none, true, 0, Step::AskErrorDialog,
         0},
        {"error dialog, same code again", ERROR_INTERNET_INVALID_CA, ERROR_INTERNET_INVALID_CA, true, all, true, 0,
         Step::Raise, 0},
        {"time-out", WAIT_TIMEOUT, 0, true, all, true, 0, Step::Raise, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TdwCertificateDecision decision =
            dwDecideCertificateStep(c.code, c.previous, c.secure, c.flags, c.dialog, c.current);
        EXPECT_EQ(decision.Step, c.step);
        if (c.step == Step::AddSecurityFlags) {
            EXPECT_EQ(decision.SecurityFlags, c.securityFlags);
        }
    }
}

}  // namespace
