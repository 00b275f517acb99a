// Real WinInet against the loopback server: downloads, retries, the size
// window, resume, cut and stalled bodies, error pages and hostile answers.
#include "tests/download/DownloadTestSupport.h"

#include <gtest/gtest.h>

namespace {

using dltest::fileBytes;
using dltest::fileExists;
using dltest::LoopbackServer;
using dltest::newToken;
using dltest::pattern;
using dltest::Transfer;

bool isResourceDate(const SYSTEMTIME& t) {
    return t.wYear == 2015 && t.wMonth == 10 && t.wDay == 21 && t.wHour == 7 && t.wMinute == 28 && t.wSecond == 0;
}

int countVerb(const std::vector<std::string>& requests, const std::string& verb) {
    int n = 0;
    for (const std::string& line : requests)
        if (line.compare(0, verb.size() + 1, verb + " ") == 0) ++n;
    return n;
}

TEST(HttpDownload, ProgressRisesToTheSizeOnTheUiThreadAndTheFileIsIdentical) {
    const LoopbackServer& server = LoopbackServer::get();
    Transfer t;
    t.downLoader->BatchSize = 4096;
    t.at(server.scenarioUrl(newToken(), "plain", "data.bin", "size=50000"));
    EXPECT_EQ(t.localFile(), t.folder.file("data.bin"));
    EXPECT_EQ(t.run(), psSuccess);
    EXPECT_EQ(fileBytes(t.localFile()), pattern(50000));
    EXPECT_TRUE(isResourceDate(dltest::lastWriteTime(t.localFile())));
    EXPECT_FALSE(t.log.offUiThread);
    ASSERT_FALSE(t.log.positions.empty());
    for (size_t i = 1; i < t.log.positions.size(); ++i) EXPECT_GT(t.log.positions[i], t.log.positions[i - 1]);
    EXPECT_EQ(t.log.positions.back(), 50000);
    EXPECT_EQ(t.log.statuses, (std::vector<TdwProcessStatus>{psProcess, psSuccess}));
    EXPECT_TRUE(t.log.errors.empty());
    EXPECT_EQ(t.log.completions, 1);
    EXPECT_EQ(t.item->ResourcePos, 50000);
    ASSERT_NE(t.item->ResourceInfo(), nullptr);
    EXPECT_EQ(t.item->ResourceInfo()->Size, 50000);
    EXPECT_EQ(t.item->ResourceInfo()->ContentType, "application/octet-stream");
    EXPECT_FALSE(t.item->IsBusy());
}

TEST(HttpDownload, MissingLastModifiedStillDeliversTheFileWithOneError) {
    const LoopbackServer& server = LoopbackServer::get();
    Transfer t;
    t.at(server.scenarioUrl(newToken(), "nolastmod", "data.bin", "size=3000"));
    EXPECT_EQ(t.run(), psErrors);
    EXPECT_EQ(fileBytes(t.localFile()), pattern(3000));
    EXPECT_EQ(t.log.errors.size(), 1u);
    EXPECT_EQ(t.item->Errors().size(), 1u);
}

TEST(HttpDownload, FourFailedConnectionsThenSuccess) {
    const LoopbackServer& server = LoopbackServer::get();
    Transfer t;
    std::string token = newToken();
    t.at(server.scenarioUrl(token, "failfirst", "data.bin", "n=4&size=2000"));
    EXPECT_EQ(t.run(), psSuccess);
    EXPECT_EQ(fileBytes(t.localFile()), pattern(2000));
    EXPECT_TRUE(t.log.errors.empty());
    EXPECT_EQ(countVerb(server.requests(token), "HEAD"), 5);
}

TEST(HttpDownload, RefusedFiveTimesFailsWithOneError) {
    const LoopbackServer& server = LoopbackServer::get();
    Transfer t;
    t.at(server.refusedUrl("/data.bin"));
    EXPECT_EQ(t.run(), psFailed);
    ASSERT_EQ(t.log.errors.size(), 1u);
    EXPECT_FALSE(fileExists(t.localFile()));
    EXPECT_EQ(t.log.statuses, (std::vector<TdwProcessStatus>{psProcess, psFailed}));
}

// The item's default hands a failed send to WinInet's own error dialog; a
// failure that dialog does not handle must not leave a window waiting.
TEST(HttpDownload, ErrorDialogSwitchOnStillEndsOnARefusedConnection) {
    const LoopbackServer& server = LoopbackServer::get();
    Transfer t;
    t.item->UseInternetErrorDialog = true;
    t.downLoader->TryCount = 2;
    t.at(server.refusedUrl("/data.bin"));
    EXPECT_EQ(t.run(), psFailed);
    EXPECT_EQ(t.log.errors.size(), 1u);
}

TEST(HttpDownload, SizeWindowFromTheHead) {
    const LoopbackServer& server = LoopbackServer::get();
    const struct {
        int min, max, size;
        TdwProcessStatus status;
        int gets;
    } cases[] = {
        {0, 100, 101, psTerminated, 0},
        {0, 100, 100, psSuccess, 1},
        {200, 0, 199, psTerminated, 0},
        {200, 0, 200, psSuccess, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "min " << c.min << " max " << c.max << " size " << c.size);
        Transfer t;
        t.downLoader->MinResourceSize = c.min;
        t.downLoader->MaxResourceSize = c.max;
        std::string token = newToken();
        t.at(server.scenarioUrl(token, "plain", "data.bin", "size=" + std::to_string(c.size)));
        EXPECT_EQ(t.run(), c.status);
        EXPECT_EQ(countVerb(server.requests(token), "GET"), c.gets);
        EXPECT_EQ(fileExists(t.localFile()), c.status == psSuccess);
    }
}

TEST(HttpDownload, LyingHeadIsStoppedAtTheLimitWithoutAFile) {
    const LoopbackServer& server = LoopbackServer::get();
    Transfer t;
    t.downLoader->BatchSize = 512;
    t.downLoader->MaxResourceSize = 1000;
    std::string token = newToken();
    t.at(server.scenarioUrl(token, "lyinghead", "data.bin", "claim=50&size=5000"));
    EXPECT_EQ(t.run(), psTerminated);
    EXPECT_EQ(countVerb(server.requests(token), "GET"), 1);
    EXPECT_FALSE(fileExists(t.localFile()));
    ASSERT_FALSE(t.log.positions.empty());
    EXPECT_LE(t.log.positions.back(), 1000);
}

TEST(HttpDownload, EmptyResourceMakesNoFile) {
    const LoopbackServer& server = LoopbackServer::get();
    Transfer t;
    t.at(server.scenarioUrl(newToken(), "plain", "empty.bin", "size=0"));
    EXPECT_EQ(t.run(), psSuccess);
    EXPECT_FALSE(fileExists(t.localFile()));
}

TEST(HttpDownload, ResumesFromResourcePosWithTheFilePresent) {
    const LoopbackServer& server = LoopbackServer::get();
    Transfer t;
    std::string token = newToken();
    t.at(server.scenarioUrl(token, "plain", "data.bin", "size=5000"));
    t.folder.writeFile("data.bin", pattern(1000));
    t.item->ResourcePos = 1000;
    EXPECT_EQ(t.run(), psSuccess);
    EXPECT_EQ(fileBytes(t.localFile()), pattern(5000));
    EXPECT_EQ(server.requests(token), (std::vector<std::string>{"HEAD -", "GET bytes=1000-"}));
    ASSERT_FALSE(t.log.positions.empty());
    EXPECT_GT(t.log.positions.front(), 1000);
    EXPECT_EQ(t.log.positions.back(), 5000);
}

TEST(HttpDownload, ResumeWithoutTheFileStartsAtZero) {
    const LoopbackServer& server = LoopbackServer::get();
    Transfer t;
    std::string token = newToken();
    t.at(server.scenarioUrl(token, "plain", "data.bin", "size=3000"));
    t.item->ResourcePos = 1000;
    EXPECT_EQ(t.run(), psSuccess);
    EXPECT_EQ(fileBytes(t.localFile()), pattern(3000));
    EXPECT_EQ(server.requests(token), (std::vector<std::string>{"HEAD -", "GET -"}));
}

TEST(HttpDownload, IgnoredRangeRestartsInANewFile) {
    const LoopbackServer& server = LoopbackServer::get();
    Transfer t;
    std::string token = newToken();
    t.at(server.scenarioUrl(token, "norange", "data.bin", "size=5000"));
    t.folder.writeFile("data.bin", std::string(1500, 'X'));
    t.item->ResourcePos = 1000;
    EXPECT_EQ(t.run(), psSuccess);
    EXPECT_EQ(fileBytes(t.localFile()), pattern(5000));
    EXPECT_EQ(server.requests(token), (std::vector<std::string>{"HEAD -", "GET bytes=1000-"}));
}

TEST(HttpDownload, BodyCutOnceIsResumedByTheNextTry) {
    const LoopbackServer& server = LoopbackServer::get();
    Transfer t;
    std::string token = newToken();
    t.at(server.scenarioUrl(token, "cutonce", "data.bin", "size=20000&at=3000"));
    EXPECT_EQ(t.run(), psSuccess);
    EXPECT_EQ(fileBytes(t.localFile()), pattern(20000));
    EXPECT_TRUE(isResourceDate(dltest::lastWriteTime(t.localFile())));
    std::vector<std::string> requests = server.requests(token);
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[1], "GET -");
    EXPECT_EQ(requests[3], "GET bytes=3000-");
}

TEST(HttpDownload, CollectedDataMatchesTheResourceAfterACutTry) {
    const LoopbackServer& server = LoopbackServer::get();
    const char* queries[] = {"size=20000&at=3000", "size=20000&at=3000&ranges=0"};  // resumed, restarted
    for (const char* query : queries) {
        SCOPED_TRACE(query);
        Transfer t;
        std::string data;
        t.downLoader->OnDataProceed = [&](TObject*, TdwInternetItem*, const char* bytes, int size) {
            data.assign(bytes, size);
        };
        t.at(server.scenarioUrl(newToken(), "cutonce", "data.bin", query));
        EXPECT_EQ(t.run(), psSuccess);
        EXPECT_EQ(data, pattern(20000));
        EXPECT_EQ(fileBytes(t.localFile()), pattern(20000));
    }
}

TEST(HttpDownload, BodyAlwaysCutFailsAndThePartialFileGetsNoDate) {
    const LoopbackServer& server = LoopbackServer::get();
    Transfer t;
    t.downLoader->TryCount = 3;
    t.at(server.scenarioUrl(newToken(), "cutalways", "data.bin", "size=20000&at=3000"));
    EXPECT_EQ(t.run(), psFailed);
    ASSERT_EQ(t.log.errors.size(), 1u);
    EXPECT_NE(fileBytes(t.localFile()), pattern(20000));
    EXPECT_FALSE(isResourceDate(dltest::lastWriteTime(t.localFile())));
}

TEST(HttpDownload, ErrorPageNeverBecomesTheResource) {
    const LoopbackServer& server = LoopbackServer::get();
    Transfer t;
    t.downLoader->TryCount = 2;
    t.at(server.scenarioUrl(newToken(), "missing", "version.dat"));
    EXPECT_EQ(t.run(), psFailed);
    EXPECT_FALSE(fileExists(t.localFile()));
    ASSERT_FALSE(t.log.errors.empty());
    EXPECT_NE(t.log.errors.back().find("404"), std::string::npos) << t.log.errors.back();
    EXPECT_EQ(t.item->ResourceInfo(), nullptr);
}

TEST(HttpDownload, StallEndsEachTryWithRequestTimeout) {
    const LoopbackServer& server = LoopbackServer::get();
    const char* scenarios[] = {"stall", "stallbody"};
    for (const char* scenario : scenarios) {
        SCOPED_TRACE(scenario);
        Transfer t;
        t.downLoader->TimeOut = 500;
        t.downLoader->TryCount = 2;
        t.at(server.scenarioUrl(newToken(), scenario, "data.bin", "size=4000"));
        DWORD start = GetTickCount();
        EXPECT_EQ(t.run(), psFailed);
        EXPECT_LT(GetTickCount() - start, 15000u);
        ASSERT_EQ(t.log.errors.size(), 1u);
        EXPECT_EQ(t.log.errors[0], "Request timeout");
        EXPECT_NE(fileBytes(t.localFile()), pattern(4000));
    }
}

TEST(HttpDownload, BusyItemFreedDuringAStallSendsNoLateEvent) {
    const LoopbackServer& server = LoopbackServer::get();
    Transfer t;
    t.downLoader->TimeOut = 1000;
    t.at(server.scenarioUrl(newToken(), "stall", "data.bin"));
    t.item->Start(true);
    ASSERT_TRUE(dltest::pumpUntil([&] { return !t.log.statuses.empty(); }, 5000));
    size_t statuses = t.log.statuses.size(), errors = t.log.errors.size();
    DWORD start = GetTickCount();
    t.downLoader->DownLoadList->Delete(0);
    EXPECT_LT(GetTickCount() - start, 10000u);
    dltest::pumpUntil([] { return false; }, 300);
    EXPECT_EQ(t.log.statuses.size(), statuses);
    EXPECT_EQ(t.log.errors.size(), errors);
    EXPECT_EQ(t.log.completions, 0);
    EXPECT_FALSE(t.downLoader->IsBusy());
    EXPECT_EQ(t.log.busyChanges, 2);
}

TEST(HttpDownload, FreeingTheDownloaderDuringAStallReturns) {
    const LoopbackServer& server = LoopbackServer::get();
    Transfer t;
    t.downLoader->TimeOut = 1000;
    t.at(server.scenarioUrl(newToken(), "stallbody", "data.bin", "size=40000"));
    t.item->Start(true);
    ASSERT_TRUE(dltest::pumpUntil([&] { return !t.log.positions.empty(); }, 5000));
    DWORD start = GetTickCount();
    t.destroy();
    EXPECT_LT(GetTickCount() - start, 10000u);
}

// Each hostile answer: no crash, no hang, and never a success unless the file
// is exactly what was served.
class HostileAnswer : public testing::TestWithParam<const char*> {};

TEST_P(HostileAnswer, NeverCrashesHangsOrSucceedsFalsely) {
    const LoopbackServer& server = LoopbackServer::get();
    Transfer t;
    t.downLoader->TimeOut = 2000;
    t.downLoader->TryCount = 2;
    t.at(server.scenarioUrl(newToken(), GetParam(), "data.bin", "size=3000"));
    DWORD start = GetTickCount();
    TdwProcessStatus status = t.run();
    EXPECT_LT(GetTickCount() - start, 30000u);
    if (status == psSuccess) {
        EXPECT_EQ(fileBytes(t.localFile()), pattern(3000));
    }
    EXPECT_FALSE(t.item->IsBusy());
}

INSTANTIATE_TEST_SUITE_P(HttpDownload, HostileAnswer,
                         testing::Values("hugelen", "neglen", "garbagelen", "lyinglen", "badstatus", "garbage",
                                         "nocolon", "bigheader", "badlastmod", "bigtype"));

TEST(HttpDownload, BasicAuthenticationFromTheItem) {
    const LoopbackServer& server = LoopbackServer::get();
    Transfer t;
    t.downLoader->TryCount = 1;
    t.at(server.scenarioUrl(newToken(), "auth", "data.bin", "size=1500"));
    EXPECT_EQ(t.run(), psFailed);
    EXPECT_FALSE(fileExists(t.localFile()));

    t.item->UserName = "alice";
    t.item->Password = "s3cret";
    EXPECT_EQ(t.run(), psSuccess);
    EXPECT_EQ(fileBytes(t.localFile()), pattern(1500));
}

TEST(HttpDownload, StartingABusyItemIsRefused) {
    const LoopbackServer& server = LoopbackServer::get();
    Transfer t;
    t.downLoader->TimeOut = 500;
    t.downLoader->TryCount = 1;
    t.at(server.scenarioUrl(newToken(), "stall", "data.bin"));
    t.item->Start(true);
    try {
        t.item->Start(true);
        FAIL() << "second start accepted";
    } catch (Exception& error) {
        EXPECT_EQ(error.Message, "Operation is in progress");
    }
    EXPECT_TRUE(dltest::pumpUntil([&] { return !t.item->IsBusy(); }, 10000));
    EXPECT_EQ(t.item->Status(), psFailed);
}

TEST(HttpDownload, BusyChangesOnceEachWayOverTwoItems) {
    const LoopbackServer& server = LoopbackServer::get();
    Transfer t;
    std::vector<bool> changes;
    t.downLoader->OnIsBusyChanged = [&](TObject*) { changes.push_back(t.downLoader->IsBusy()); };
    t.at(server.scenarioUrl(newToken(), "plain", "one.bin", "size=20000"));
    TdwDownLoadItem* second = t.downLoader->DownLoadList->Add();
    second->UseInternetErrorDialog = false;
    second->URL = server.scenarioUrl(newToken(), "plain", "two.bin", "size=30000");
    t.downLoader->Start(nullptr, true);
    EXPECT_TRUE(dltest::pumpUntil([&] { return !t.downLoader->IsBusy(); }, 20000));
    EXPECT_EQ(changes, (std::vector<bool>{true, false}));
    EXPECT_EQ(fileBytes(t.folder.file("one.bin")), pattern(20000));
    EXPECT_EQ(fileBytes(t.folder.file("two.bin")), pattern(30000));
}

TEST(HttpDownload, DataHandedOverWholeOrAsPreviewLines) {
    const LoopbackServer& server = LoopbackServer::get();
    {
        Transfer t;
        std::string data;
        t.downLoader->OnDataProceed = [&](TObject*, TdwInternetItem*, const char* bytes, int size) {
            data.assign(bytes, size);
        };
        t.at(server.httpUrl("/files/hello.txt"));
        EXPECT_EQ(t.run(), psSuccess);
        EXPECT_EQ(data, "Hello from the loopback server.\r\nSecond line.\r\n");
    }
    {
        Transfer t;
        std::vector<std::string> lines;
        t.downLoader->PreviewCharCount = 40;
        t.downLoader->OnDataTextProceed = [&](TObject*, TdwInternetItem*, TStrings* text) {
            for (int i = 0; i < text->GetCount(); ++i) lines.push_back(text->Get(i));
        };
        t.at(server.httpUrl("/files/hello.txt"));
        EXPECT_EQ(t.run(), psSuccess);
        EXPECT_EQ(lines, (std::vector<std::string>{"Hello from the loopback server.", "Second "}));
    }
}

TEST(HttpDownload, ResourceInformationAlone) {
    const LoopbackServer& server = LoopbackServer::get();
    Transfer t;
    std::string token = newToken();
    t.at(server.scenarioUrl(token, "plain", "data.bin", "size=777"));
    TdwResourceInfo* info = t.item->GetResourceInfo(false);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->Size, 777);
    EXPECT_EQ(info->Name, "/s/" + token + "/plain/data.bin");
    EXPECT_EQ(server.requests(token), (std::vector<std::string>{"HEAD -"}));
    EXPECT_FALSE(fileExists(t.localFile()));
    // Known now: asked again, the copy is returned and announced without a request.
    int announced = t.log.resourceInfos;
    EXPECT_EQ(t.item->GetResourceInfo(false), info);
    EXPECT_EQ(t.log.resourceInfos, announced + 1);
    EXPECT_EQ(server.requests(token).size(), 1u);
}

}  // namespace
