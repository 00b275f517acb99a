/*
 * The multi-file downloader: a list of download items, each fetched into its
 * local file below LocalFolder, with the data optionally handed over once at
 * the end of a transfer (whole, or cut to a preview as text lines).
 *
 * Tricky points:
 * - Setting an item's URL makes its local file LocalFolder joined with the
 *   URL's last path segment; changing LocalFolder re-bases every item.
 * - ResourcePos is where the next download of an item resumes: the worker's
 *   final position after a run, 0 again after any change of the transfer.
 * - The data is collected only when OnDataProceed or OnDataTextProceed is
 *   set, and limited to PreviewCharCount only when OnDataProceed is not.
 */
#pragma once

#include "download/dwMultiDC.h"

class TdwDownLoadItem;
class TdwCustomMultiDownLoaderControl;

using TdwItemDataProceedEvent =
    TEvent<void(TObject* Sender, TdwInternetItem* Item, const char* Data, int Size)>;
using TdwItemDataTextProceedEvent = TEvent<void(TObject* Sender, TdwInternetItem* Item, TStrings* Text)>;

class TdwDownLoadItem : public TdwInternetItem {
public:
    explicit TdwDownLoadItem(TCollection* Collection);

    void SetURL(const AnsiString& value) override;
    int GetResourcePos() const { return resourcePos_; }
    void SetResourcePos(int value) { if (value >= 0) resourcePos_ = value; }
    TdwCustomMultiDownLoaderControl* DownLoader() const;

    BRIM_PROPERTY(ResourcePos, TdwDownLoadItem::GetResourcePos, TdwDownLoadItem::SetResourcePos);

protected:
    TdwDownLoadThreader* CreateWorker(bool InfoOnly) override;
    void WorkerEnded(TdwCustomThreader* Worker) override;
    void TransferChanged() override;

private:
    void relayData(TObject* Sender, const char* Data, int Size);
    int resourcePos_ = 0;
};

class TdwDownLoadList : public TOwnedCollection {
public:
    explicit TdwDownLoadList(TPersistent* AOwner);
    // A new item whose local file is the downloader's folder and an empty name.
    TdwDownLoadItem* Add();
    TdwDownLoadItem* GetItem(int Index) const { return static_cast<TdwDownLoadItem*>(TCollection::GetItem(Index)); }
    BRIM_INDEXED_READONLY(Items, TdwDownLoadList::GetItem);
};

class TdwCustomMultiDownLoaderControl : public TdwMultiInternetControl {
public:
    explicit TdwCustomMultiDownLoaderControl(TComponent* AOwner);
    ~TdwCustomMultiDownLoaderControl() override;

    int InternetItemCount() const override { return list_->GetCount(); }
    TdwInternetItem* InternetItem(int Index) const override { return list_->GetItem(Index); }

    TdwDownLoadList* GetDownLoadList() const { return list_; }
    // Copies the items and re-bases their local files on LocalFolder.
    void SetDownLoadList(TdwDownLoadList* value);
    AnsiString GetLocalFolder() const { return localFolder_; }
    void SetLocalFolder(const AnsiString& value);
    int GetPreviewCharCount() const { return previewCharCount_; }
    void SetPreviewCharCount(int value) { if (value >= 0) previewCharCount_ = value; }
    char GetDefaultChar() const { return defaultChar_; }
    void SetDefaultChar(char value) { if (static_cast<unsigned char>(value) >= 32) defaultChar_ = value; }

    bool CorrectResourceTime = true;
    TdwItemDataProceedEvent OnDataProceed;
    TdwItemDataTextProceedEvent OnDataTextProceed;

    void DefineProperties(TFiler* Filer) override;

    BRIM_PROPERTY(DownLoadList, TdwCustomMultiDownLoaderControl::GetDownLoadList,
                  TdwCustomMultiDownLoaderControl::SetDownLoadList);
    BRIM_PROPERTY(LocalFolder, TdwCustomMultiDownLoaderControl::GetLocalFolder,
                  TdwCustomMultiDownLoaderControl::SetLocalFolder);
    BRIM_PROPERTY(PreviewCharCount, TdwCustomMultiDownLoaderControl::GetPreviewCharCount,
                  TdwCustomMultiDownLoaderControl::SetPreviewCharCount);
    BRIM_PROPERTY(DefaultChar, TdwCustomMultiDownLoaderControl::GetDefaultChar,
                  TdwCustomMultiDownLoaderControl::SetDefaultChar);

private:
    void rebaseItems();
    TdwDownLoadList* list_;
    AnsiString localFolder_;
    int previewCharCount_ = 256;
    char defaultChar_ = static_cast<char>(128);
};

class TdwMultiDownLoader : public TdwCustomMultiDownLoaderControl {
public:
    using TdwCustomMultiDownLoaderControl::TdwCustomMultiDownLoaderControl;
};
