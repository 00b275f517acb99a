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
#include "download/dwTransfer.h"

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

class TdwInternetItem : public TCollectionItem, public TdwTransfer {
public:
    explicit TdwInternetItem(TCollection* Collection);
    ~TdwInternetItem() override;
    // Copies URL, UserName, LocalFile, Password and Priority.
    void Assign(TPersistent* Source) override;

    // Raises "Operation is in progress" while busy; without Async, returns
    // when the transfer has ended.
    void Start(bool Async);
    // The known resource information, or a worker that fetches it; with
    // Async the result is null and the information arrives as an event.
    TdwResourceInfo* GetResourceInfo(bool Async);

    bool IsBusy() const { return worker_ != nullptr; }
    TdwMultiInternetControl* Control() const;

    BRIM_PROPERTY(URL, TdwInternetItem::GetURL, TdwInternetItem::SetURL);
    BRIM_PROPERTY(LocalFile, TdwInternetItem::GetLocalFile, TdwInternetItem::SetLocalFile);
    BRIM_PROPERTY(UserName, TdwInternetItem::GetUserNameText, TdwInternetItem::SetUserName);
    BRIM_PROPERTY(Password, TdwInternetItem::GetPassword, TdwInternetItem::SetPassword);

protected:
    void InternalStart(bool InfoOnly);
    // A suspended worker with this item's and the control's settings.
    virtual TdwDownLoadThreader* CreateWorker(bool InfoOnly);
    // A transfer setting changed: forget what is known of the resource.
    void TransferChanged() override;
    bool controlLoading() const;
    void setLocalFileQuietly(const AnsiString& value) { localFile_ = value; }

private:
    // The relays end in the control's events, with this item.
    void statusChanged(TdwProcessStatus Status) override;
    void errorAdded(const AnsiString& Error) override;
    void resourceInfoArrived() override;
    void urlParsed(URL_COMPONENTSA& Components) override;
    void dataBatchArrived(TdwResourceInfo* Info, int BytesProceed, const char* Data, int Size) override;
    void certificateAsked(void*& Context, DWORD& ContextSize, bool& Handled) override;
    void transferCompleted() override;
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
