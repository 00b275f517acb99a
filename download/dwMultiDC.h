/*
 * The multi-item control and its items: each item is one transfer with its
 * own URL, local file and credentials; a started item runs one worker thread
 * and relays the worker's events, on the user-interface thread, to the
 * control's events with the item as a parameter.
 *
 * Tricky points:
 * - An item is busy while it has a worker; starting a busy item raises
 *   "Operation is in progress". The control counts busy items and fires
 *   OnIsBusyChanged on 0 -> 1 and 1 -> 0 only.
 * - A waiting start, and the destructor of a busy item, wait for the worker
 *   while serving its synchronised calls. The destructor detaches the relays
 *   first, so nothing the worker still sends reaches the freed item.
 * - Changing URL, LocalFile, UserName or Password discards the resource
 *   information and fires OnChanged (not while the control is loading).
 */
#pragma once

#include "download/dwDC.h"

#include <vector>

class TdwInternetItem;
class TdwMultiInternetControl;

using TdwItemStatusEvent = TEvent<void(TObject* Sender, TdwInternetItem* Item, TdwProcessStatus Status)>;
using TdwItemDataEvent = TEvent<void(TObject* Sender, TdwInternetItem* Item, TdwResourceInfo* ResourceInfo,
                                     int BytesProceed, const char* CurrentData, int CurrentDataSize)>;
using TdwItemErrorEvent = TEvent<void(TObject* Sender, TdwInternetItem* Item, const AnsiString& Error)>;
using TdwItemResourceInfoEvent = TEvent<void(TObject* Sender, TdwInternetItem* Item, TdwResourceInfo* ResourceInfo)>;
using TdwItemURLParsingEvent = TEvent<void(TObject* Sender, TdwInternetItem* Item, URL_COMPONENTSA& URLComponents)>;
using TdwItemCertificateEvent = TEvent<void(TObject* Sender, TdwInternetItem* Item, void*& ACertContext,
                                            DWORD& ACertContextSize, bool& Handled)>;
using TdwItemNotifyEvent = TEvent<void(TObject* Sender, TdwInternetItem* Item)>;

class TdwInternetItem : public TCollectionItem {
public:
    explicit TdwInternetItem(TCollection* Collection);
    ~TdwInternetItem() override;
    // Copies URL, UserName, LocalFile, Password and Priority.
    void Assign(TPersistent* Source) override;

    // Raises "Operation is in progress" while busy; without Async, returns
    // when the transfer has ended.
    void Start(bool Async);
    void Stop();
    // The known resource information, or a worker that fetches it; with
    // Async the result is null and the information arrives as an event.
    TdwResourceInfo* GetResourceInfo(bool Async);

    bool IsBusy() const { return worker_ != nullptr; }
    TdwProcessStatus Status() const { return status_; }
    TdwResourceInfo* ResourceInfo() const { return info_.get(); }
    const std::vector<AnsiString>& Errors() const { return errors_; }
    TdwMultiInternetControl* Control() const;

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

    BRIM_PROPERTY(URL, TdwInternetItem::GetURL, TdwInternetItem::SetURL);
    BRIM_PROPERTY(LocalFile, TdwInternetItem::GetLocalFile, TdwInternetItem::SetLocalFile);
    BRIM_PROPERTY(UserName, TdwInternetItem::GetUserNameText, TdwInternetItem::SetUserName);
    BRIM_PROPERTY(Password, TdwInternetItem::GetPassword, TdwInternetItem::SetPassword);

protected:
    void InternalStart(bool InfoOnly);
    // A suspended worker with this item's and the control's settings.
    virtual TdwDownLoadThreader* CreateWorker(bool InfoOnly);
    // The worker ended (user-interface thread, before the completion events).
    virtual void WorkerEnded(TdwCustomThreader* /*Worker*/) {}
    // A transfer setting changed: forget what is known of the resource.
    virtual void TransferChanged();
    bool controlLoading() const;
    void setLocalFileQuietly(const AnsiString& value) { localFile_ = value; }

private:
    void relayStatus(TObject* Sender, TdwProcessStatus Status);
    void relayError(TObject* Sender, const AnsiString& Error);
    void relayResourceInfo(TObject* Sender, TdwResourceInfo* Info);
    void relayURLParsing(TObject* Sender, URL_COMPONENTSA& Components);
    void relayDataBatch(TObject* Sender, TdwResourceInfo* Info, int BytesProceed, const char* Data, int Size);
    void relayCertificate(TObject* Sender, void*& Context, DWORD& ContextSize, bool& Handled);
    void relayCompleted(TObject* Sender);

    AnsiString url_, localFile_, userName_, password_;
    TdwCustomThreader* worker_ = nullptr;
    TdwProcessStatus status_ = psUnknown;
    std::unique_ptr<TdwResourceInfo> info_;
    std::vector<AnsiString> errors_;
};

class TdwMultiInternetControl : public TdwCustomInternetControl {
public:
    explicit TdwMultiInternetControl(TComponent* AOwner);

    // With an item: that item; without: every item in list order.
    void Start(TdwInternetItem* Item, bool Async);
    void Stop(TdwInternetItem* Item);
    TdwResourceInfo* GetResourceInfo(TdwInternetItem* Item, bool Async);

    virtual int InternetItemCount() const = 0;
    virtual TdwInternetItem* InternetItem(int Index) const = 0;

    TdwItemStatusEvent OnStatusChanged;
    TdwItemDataEvent OnDataItemProceed;
    TdwItemErrorEvent OnError;
    TdwItemResourceInfoEvent OnGetResourceInfo;
    TdwItemURLParsingEvent OnURLParsing;
    TdwItemCertificateEvent OnGetCertificate;
    TdwItemNotifyEvent OnChanged;
    TdwItemNotifyEvent OnProcessCompleted;

protected:
    // After loading from a layout: OnChanged once, without an item.
    void Loaded() override;
};
