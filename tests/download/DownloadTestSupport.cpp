// One downloader with one item and the record of its events; see DownloadTestSupport.h.
#include "tests/download/DownloadTestSupport.h"

namespace dltest {

bool pumpUntil(const std::function<bool()>& done, DWORD deadlineMs) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > deadlineMs) return done();
        Application->ProcessMessages();
        if (done()) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

Transfer::Transfer() {
    InitFramework();
    downLoader = new TdwMultiDownLoader(nullptr);
    downLoader->TimeOut = 3000;
    downLoader->LocalFolder = folder.path();
    item = downLoader->DownLoadList->Add();
    item->UseInternetErrorDialog = false;
    const DWORD uiThread = GetCurrentThreadId();
    EventLog* events = &log;
    auto onUi = [events, uiThread] {
        if (GetCurrentThreadId() != uiThread) events->offUiThread = true;
    };
    downLoader->OnStatusChanged = [events, onUi](TObject*, TdwInternetItem*, TdwProcessStatus status) {
        onUi();
        events->statuses.push_back(status);
    };
    downLoader->OnError = [events, onUi](TObject*, TdwInternetItem*, const AnsiString& error) {
        onUi();
        events->errors.push_back(error);
    };
    downLoader->OnDataItemProceed = [events, onUi](TObject*, TdwInternetItem*, TdwResourceInfo*, int position,
                                                   const char*, int) {
        onUi();
        events->positions.push_back(position);
    };
    downLoader->OnGetResourceInfo = [events, onUi](TObject*, TdwInternetItem*, TdwResourceInfo*) {
        onUi();
        ++events->resourceInfos;
    };
    downLoader->OnProcessCompleted = [events, onUi](TObject*, TdwInternetItem*) {
        onUi();
        ++events->completions;
    };
    downLoader->OnIsBusyChanged = [events](TObject*) { ++events->busyChanges; };
}

Transfer::~Transfer() { destroy(); }

void Transfer::destroy() {
    if (!downLoader) return;
    delete downLoader;
    downLoader = nullptr;
    item = nullptr;
}

TdwProcessStatus Transfer::run() {
    item->Start(false);
    return item->Status();
}

SYSTEMTIME lastWriteTime(const std::string& path) {
    SYSTEMTIME time{};
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        FileTimeToSystemTime(&data.ftLastWriteTime, &time);
    return time;
}

}  // namespace dltest
