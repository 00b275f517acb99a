/*
 * The common base of the download engine's controls (settings, busy count,
 * settings kept in the registry) and its worker threads: TdwCustomThreader
 * (URL preparation, connection, resource information, tries, status, events)
 * and TdwDownLoadThreader (HTTP GET or FTP read, resume, the local file).
 *
 * Tricky points:
 * - A worker is created suspended, given copies of its settings, resumed, and
 *   frees itself when it ends. Every event reaches the user-interface thread
 *   through a synchronised call, the end notice (OnCompleted) included; since
 *   that notice is always synchronised, a worker cannot free itself before
 *   the user-interface thread has served it, so the owner may still wait on it
 *   (WaitFor waits on a duplicated handle while serving synchronised calls).
 * - DetachRelays (user-interface thread) makes every later event of the worker
 *   a no-op: an owner that is going away detaches before it waits.
 * - Tries: each failure of a WinInet call (a time-out included) fails the try;
 *   the next try starts at once, up to TryCount tries.
 * - A GET answered other than 200 (206 when resuming) fails the try before a
 *   byte is written; a body shorter than its Content-Length fails the try
 *   (12030) and the partial file never gets the resource date; MaxResourceSize
 *   also holds while reading (the run stops, psTerminated, and a file this run
 *   created is removed).
 * - Resume: HTTP asks for "Range: bytes=N-" and takes the answer only as 206
 *   with a Content-Range starting at N; FTP only when the remote position is
 *   set to exactly N. Otherwise the transfer starts at 0 in a new file.
 */
#pragma once

#include "download/dwDCUtils.h"
#include "download/dwWaitDC.h"
#include "framework/Threads.h"

#include <functional>
#include <memory>
#include <vector>

extern const char* const dwInternetAgent;  // "Quarrendel Internet Suite"

using TdwStatusRelay = TEvent<void(TObject* Sender, TdwProcessStatus Status)>;
using TdwErrorRelay = TEvent<void(TObject* Sender, const AnsiString& Error)>;
using TdwResourceInfoRelay = TEvent<void(TObject* Sender, TdwResourceInfo* ResourceInfo)>;
using TdwDataBatchRelay = TEvent<void(TObject* Sender, TdwResourceInfo* ResourceInfo, int BytesProceed,
                                      const char* CurrentData, int CurrentDataSize)>;
using TdwCertificateRelay =
    TEvent<void(TObject* Sender, void*& ACertContext, DWORD& ACertContextSize, bool& Handled)>;
using TdwDataRelay = TEvent<void(TObject* Sender, const char* Data, int Size)>;

// What to do when sending a request failed with a WinInet code.
enum class TdwCertificateStep { Raise, AskErrorDialog, AddSecurityFlags, AskClientCertificate };
struct TdwCertificateDecision {
    TdwCertificateStep Step = TdwCertificateStep::Raise;
    DWORD SecurityFlags = 0;  // for AddSecurityFlags: the request's flags with the ignores added
};
TdwCertificateDecision dwDecideCertificateStep(DWORD Code, DWORD PreviousCode, bool Secure,
                                               TdwCertificateFlags Flags, bool UseErrorDialog,
                                               DWORD CurrentSecurityFlags);

// The worker thread priority of a transfer priority.
TThreadPriority dwThreadPriority(TdwProcessPriority Priority);
// Puts an owner's credential into its part of the URL record (the parser's
// 128-byte buffer, zero-filled first). One that does not fit is left for the
// parser to refuse, so the parse fails rather than cutting it.
void dwPutCredential(const AnsiString& Value, LPSTR Buffer, DWORD& Length);

// ---------------------------------------------------------------------------

class TdwCustomInternetControl : public TComponent {
public:
    explicit TdwCustomInternetControl(TComponent* AOwner);

    void BeginIsBusy();
    void EndIsBusy();
    bool IsBusy() const { return busyCount_ > 0; }

    int GetTryCount() const { return tryCount_; }
    void SetTryCount(int value) { if (value > 0) tryCount_ = value; }
    int GetBatchSize() const { return batchSize_; }
    void SetBatchSize(int value) { if (value > 0) batchSize_ = value; }
    int GetTimeOut() const { return timeOut_; }
    void SetTimeOut(int value) { if (value > 0) timeOut_ = value; }
    int GetMinResourceSize() const { return minResourceSize_; }
    void SetMinResourceSize(int value) { if (value >= 0) minResourceSize_ = value; }
    int GetMaxResourceSize() const { return maxResourceSize_; }
    void SetMaxResourceSize(int value) { if (value >= 0) maxResourceSize_ = value; }

    // The settings as the REG_BINARY value "Data" under Key (HKEY_CURRENT_USER).
    void WriteRegistry(const AnsiString& Key);
    // Reads them back when Key holds a non-empty "Data"; a damaged value is
    // read as far as it goes, every value through its setter's range rule.
    void ReadRegistry(const AnsiString& Key);
    // The settings table streamed by WriteRegistry / ReadRegistry.
    void DefineProperties(TFiler* Filer) override;

    TNotifyEvent OnIsBusyChanged;

    BRIM_PROPERTY(TryCount, TdwCustomInternetControl::GetTryCount, TdwCustomInternetControl::SetTryCount);
    BRIM_PROPERTY(BatchSize, TdwCustomInternetControl::GetBatchSize, TdwCustomInternetControl::SetBatchSize);
    BRIM_PROPERTY(TimeOut, TdwCustomInternetControl::GetTimeOut, TdwCustomInternetControl::SetTimeOut);
    BRIM_PROPERTY(MinResourceSize, TdwCustomInternetControl::GetMinResourceSize,
                  TdwCustomInternetControl::SetMinResourceSize);
    BRIM_PROPERTY(MaxResourceSize, TdwCustomInternetControl::GetMaxResourceSize,
                  TdwCustomInternetControl::SetMaxResourceSize);

private:
    int tryCount_ = 5, batchSize_ = 8192, timeOut_ = 5000, minResourceSize_ = 0, maxResourceSize_ = 0;
    int busyCount_ = 0;
};

// ---------------------------------------------------------------------------

class TdwCustomThreader : public TThread {
public:
    TdwCustomThreader(const AnsiString& URL, const AnsiString& LocalFile);
    ~TdwCustomThreader() override;

    void Perform() { Resume(); }
    // Waits for the end of the thread; nothing the wait raises comes out.
    void Wait();
    // User-interface thread: every later event of this worker does nothing.
    void DetachRelays() { detached_ = true; }

    TdwProcessStatus Status() const { return status_; }
    const AnsiString& URL() const { return url_; }
    const AnsiString& LocalFile() const { return localFile_; }

    // Settings, written before the worker resumes.
    int TryCount = 5;
    int BatchSize = 8192;
    int TimeOut = 5000;
    int MinResourceSize = 0;
    int MaxResourceSize = 0;
    TdwCertificateFlags CertificateFlags;
    bool UseInternetErrorDialog = true;

    // Relays, run on the user-interface thread.
    TdwStatusRelay OnStatus;
    TdwErrorRelay OnError;
    TdwResourceInfoRelay OnResourceInfo;
    TdwURLParsingEvent OnURLParsing;
    TdwDataBatchRelay OnDataBatch;
    TdwCertificateRelay OnCertificate;
    TNotifyEvent OnCompleted;

protected:
    void Execute() override;
    virtual void ProcessHTTP(HINTERNET Connection);
    virtual void ProcessFTP(HINTERNET Connection);

    void GetResourceInfo(HINTERNET Connection);
    bool CanProcessURL() const;
    // Sends the request, adjusting it after certificate errors as allowed.
    void SendRequest(HINTERNET Request, const AnsiString& Headers, const void* Optional = nullptr,
                     DWORD OptionalLength = 0);
    // Runs Send (one waited send of Request) until it succeeds, adjusting the
    // request after certificate errors as allowed.
    void SendWithCertificateHandling(HINTERNET Request, const std::function<void()>& Send);
    // A response header as text, read into a buffer of at most MaxBytes
    // (terminating zero included); false with the last error set when it is
    // missing or longer: an over-long header is never cut.
    static bool QueryHeaderText(HINTERNET Request, DWORD InfoLevel, DWORD MaxBytes, AnsiString& Text);
    // The status code of a sent request; a request that got no valid answer
    // (no status line at all) fails the try.
    static DWORD ResponseStatus(HINTERNET Request);
    // Gives a request WinInet's own send and receive time-outs.
    void LimitRequest(HINTERNET Request) const;
    // The text given, or the last Windows error's, becomes the run's error text.
    void ReportError(const AnsiString& Text);
    void SetStatus(TdwProcessStatus Status);
    // Runs a relay on the user-interface thread unless the relays were detached.
    void relay(const std::function<void()>& call);
    bool secure() const { return parser_.Scheme() == 3; }
    // Every request is read from the server itself and never cached.
    DWORD requestFlags() const {
        return INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_RELOAD | (secure() ? INTERNET_FLAG_SECURE : 0);
    }
    AnsiString objectName() const { return parser_.UrlPath() + parser_.ExtraInfo(); }

    AnsiString url_, localFile_;
    TdwURLParser parser_;
    TdwInternetWaitEngine engine_;
    std::unique_ptr<TdwResourceInfo> info_;
    bool resourceDateKnown_ = false;
    AnsiString errorText_;

private:
    void PrepareURL();
    void ProcessURL();
    void GetHTTPResourceInfo(HINTERNET Connection);
    void GetFTPResourceInfo(HINTERNET Connection);
    void DoOnURLParsing(TObject* Sender, URL_COMPONENTSA& Components);
    void completed(TObject* Sender);
    void fireCertificateRequest(HINTERNET Request);

    TdwProcessStatus status_ = psUnknown;
    bool detached_ = false;
};

class TdwDownLoadThreader : public TdwCustomThreader {
public:
    TdwDownLoadThreader(const AnsiString& URL, const AnsiString& LocalFile, bool InfoOnly = false);
    ~TdwDownLoadThreader() override;

    bool InfoOnly() const { return infoOnly_; }
    int PreviewLimit = 0;  // 0 = no limit
    bool CorrectResourceTime = true;
    int ResourcePos = 0;  // the resume position; after the run, the final position
    TdwDataRelay OnData;

protected:
    void ProcessHTTP(HINTERNET Connection) override;
    void ProcessFTP(HINTERNET Connection) override;

private:
    // Reads the resource into the local file (and the collected data).
    // ExpectedLength: bytes this response announced, -1 when unknown.
    void Dump(HINTERNET Resource, int StartPos, int64_t ExpectedLength);
    // Resume from ResourcePos is possible on the local side.
    bool localResumePossible() const;
    void setFileDate(HANDLE file) const;

    bool infoOnly_;
    std::vector<char> collected_;
};
