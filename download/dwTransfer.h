/*
 * One transfer as the single-transfer control (dwDownLoader.h) and an item of
 * the multi-item control (dwMultiDC.h) both hold it: URL, local file and
 * credentials, the worker while one runs, its last status, the resource
 * information and the errors, with the relays a worker reports through. What
 * a change or a worker's event means to its owner (which events fire, whose
 * busy count moves) the owner says through the virtual hooks.
 *
 * Tricky points:
 * - Changing URL, LocalFile, UserName or Password calls TransferChanged;
 *   an unchanged value calls nothing.
 * - A relay records first (status, error, resource information, credentials
 *   the URL carried), then calls its hook, so a handler reads the new state.
 * - The completion relay forgets the worker before WorkerEnded and its hook:
 *   a handler may start the transfer again.
 * - stopWorker detaches the relays before it stops and waits, so nothing the
 *   worker still sends reaches a transfer being destroyed.
 */
#pragma once

#include "download/dwDC.h"

#include <memory>
#include <vector>

class TdwTransfer {
public:
    virtual ~TdwTransfer() = default;

    void Stop();

    TdwProcessStatus Status() const { return status_; }
    TdwResourceInfo* ResourceInfo() const { return info_.get(); }
    const std::vector<AnsiString>& Errors() const { return errors_; }

    AnsiString GetURL() const { return url_; }
    virtual void SetURL(const AnsiString& value);
    AnsiString GetLocalFile() const { return localFile_; }
    void SetLocalFile(const AnsiString& value);
    AnsiString GetUserNameText() const { return userName_; }
    void SetUserName(const AnsiString& value);
    AnsiString GetPassword() const { return password_; }
    void SetPassword(const AnsiString& value);

    TdwProcessPriority Priority = ppNormal;
    TdwCertificateFlags CertificateFlags;
    bool UseInternetErrorDialog = true;

protected:
    // A transfer setting changed.
    virtual void TransferChanged() = 0;
    // The worker ended (user-interface thread, before the completion hook).
    virtual void WorkerEnded(TdwCustomThreader* /*Worker*/) {}

    // The owner's side of each relay.
    virtual void statusChanged(TdwProcessStatus Status) = 0;
    virtual void errorAdded(const AnsiString& Error) = 0;
    virtual void resourceInfoArrived() = 0;
    virtual void urlParsed(URL_COMPONENTSA& Components) = 0;
    virtual void dataBatchArrived(TdwResourceInfo* Info, int BytesProceed, const char* Data, int Size) = 0;
    virtual void certificateAsked(void*& Context, DWORD& ContextSize, bool& Handled) = 0;
    virtual void transferCompleted() = 0;

    // Points the worker's events at this transfer's relays.
    void relayFrom(TdwCustomThreader* worker);
    // Detaches, stops and waits for a running worker; false when none ran.
    bool stopWorker();

    AnsiString url_, localFile_, userName_, password_;
    TdwCustomThreader* worker_ = nullptr;
    std::unique_ptr<TdwResourceInfo> info_;
    std::vector<AnsiString> errors_;

private:
    void relayStatus(TObject* Sender, TdwProcessStatus Status);
    void relayError(TObject* Sender, const AnsiString& Error);
    void relayResourceInfo(TObject* Sender, TdwResourceInfo* Info);
    void relayURLParsing(TObject* Sender, URL_COMPONENTSA& Components);
    void relayDataBatch(TObject* Sender, TdwResourceInfo* Info, int BytesProceed, const char* Data, int Size);
    void relayCertificate(TObject* Sender, void*& Context, DWORD& ContextSize, bool& Handled);
    void relayCompleted(TObject* Sender);

    TdwProcessStatus status_ = psUnknown;
};
