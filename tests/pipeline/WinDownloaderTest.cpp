#include "pipeline/WinDownloader.h"

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/EventRecorder.h"
#include "support/HttpTestServer.h"
#include "support/TempFolder.h"

namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

constexpr int32_t kBegins = 1001;
constexpr int32_t kProgress = 1002;
constexpr int32_t kDone = 1003;
constexpr int32_t kFailed = 1004;

std::string ReadWholeFile(const std::wstring& path) {
  std::string bytes;
  HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return bytes;
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0)
    bytes.append(buffer, read);
  ::CloseHandle(file);
  return bytes;
}

std::string PackageBytes(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('A' + i % 23);
  return bytes;
}

// ---------------------------------------------------------------------------------------
// The bind callback on its own: what the moniker service sees.

struct ProgressCase {
  ULONG progress;
  ULONG maximum;
  bool expectEvent;
  double fraction;
};

// A non-zero maximum yields one 1002 with progress / maximum, both read as unsigned
// 32-bit numbers; a zero maximum (no length from the server) yields nothing.
TEST(BindCallbackTest, ProgressBecomesAFractionOnlyWithAKnownTotal) {
  const ProgressCase cases[] = {
      {0, 0, false, 0.0},
      {500, 0, false, 0.0},
      {0, 1000, true, 0.0},
      {250, 1000, true, 0.25},
      {1000, 1000, true, 1.0},
      {0xFFFFFFFFu, 0xFFFFFFFFu, true, 1.0},
      {0x80000000u, 0xFFFFFFFFu, true, 2147483648.0 / 4294967295.0},
  };
  for (const ProgressCase& row : cases) {
    EventRecorder recorder;
    CWinDownloader::CBindCallback callback;
    callback.SetEventCallback(recorder.Callback());
    EXPECT_EQ(callback.OnProgress(row.progress, row.maximum, BINDSTATUS_DOWNLOADINGDATA, L""),
              S_OK);
    const auto events = recorder.Events();
    ASSERT_EQ(events.size(), row.expectEvent ? 1u : 0u) << row.progress << "/" << row.maximum;
    if (row.expectEvent) {
      EXPECT_EQ(events[0].code, kProgress);
      EXPECT_DOUBLE_EQ(events[0].value, row.fraction);
      EXPECT_TRUE(events[0].text.empty());
    }
  }
}

// Once the abort flag is up every progress notification answers E_ABORT and sends nothing.
TEST(BindCallbackTest, AbortFlagStopsTheTransferSilently) {
  EventRecorder recorder;
  CWinDownloader::CBindCallback callback;
  callback.SetEventCallback(recorder.Callback());
  callback.RaiseAbort();
  EXPECT_EQ(callback.OnProgress(10, 100, BINDSTATUS_DOWNLOADINGDATA, L""), E_ABORT);
  callback.Deliver(kDone, 0.0, L"URLDownloadToFile");
  EXPECT_TRUE(recorder.Events().empty());
}

// The address is escaped from UTF-8, so the bind information asks for code page 65001 and
// leaves the bind flags alone; the callback hands out no interfaces and owns no count.
TEST(BindCallbackTest, AnswersTheMonikerServiceAsDescribed) {
  CWinDownloader::CBindCallback callback;
  BINDINFO info{};
  info.cbSize = sizeof(info);
  info.dwCodePage = 1252;
  DWORD flags = BINDF_ASYNCHRONOUS;
  EXPECT_EQ(callback.GetBindInfo(&flags, &info), E_NOTIMPL);
  EXPECT_EQ(info.dwCodePage, 65001u);
  EXPECT_EQ(flags, static_cast<DWORD>(BINDF_ASYNCHRONOUS));
  EXPECT_EQ(callback.GetBindInfo(&flags, nullptr), E_NOTIMPL);

  void* object = &callback;
  EXPECT_EQ(callback.QueryInterface(IID_IBindStatusCallback, &object), E_NOTIMPL);
  EXPECT_EQ(object, nullptr);
  EXPECT_EQ(callback.QueryInterface(IID_IHttpNegotiate, &object), S_OK);
  EXPECT_EQ(object, static_cast<IHttpNegotiate*>(&callback));
  EXPECT_EQ(callback.AddRef(), 0u);
  EXPECT_EQ(callback.Release(), 0u);
}

struct JudgeCase {
  const char* name;
  HRESULT serviceResult;
  DWORD httpStatus;        // 0: no answer seen
  ULONG announcedLength;   // 0: the server sent no length
  size_t fileBytes;
  HRESULT expected;
};

// A success of the moniker service counts only when the server answered without an HTTP
// error and the file holds at least the announced length; the service's own failures
// are kept as they are.
TEST(BindCallbackTest, JudgesAnAttemptByStatusAndLength) {
  const JudgeCase cases[] = {
      {"complete file", S_OK, 200, 100, 100, S_OK},
      {"no length announced", S_OK, 200, 0, 3, S_OK},
      {"not found page", S_OK, 404, 9, 9, INET_E_RESOURCE_NOT_FOUND},
      {"server error page", S_OK, 500, 9, 9, INET_E_DOWNLOAD_FAILURE},
      {"cut short", S_OK, 200, 100, 40, INET_E_DOWNLOAD_FAILURE},
      {"redirect answer then file", S_OK, 302, 100, 100, S_OK},
      {"service failure kept", INET_E_CONNECTION_TIMEOUT, 0, 0, 0,
       INET_E_CONNECTION_TIMEOUT},
  };
  TempFolder folder;
  for (const JudgeCase& row : cases) {
    SCOPED_TRACE(row.name);
    const std::wstring file = folder.WriteFile(L"attempt.bin", std::string(row.fileBytes, 'x'));
    CWinDownloader::CBindCallback callback;
    callback.BeginAttempt();
    if (row.httpStatus) {
      LPWSTR extra = reinterpret_cast<LPWSTR>(&callback);
      EXPECT_EQ(callback.OnResponse(row.httpStatus, L"", nullptr, &extra), S_OK);
      EXPECT_EQ(extra, nullptr);
    }
    if (row.announcedLength)
      callback.OnProgress(row.announcedLength, row.announcedLength,
                          BINDSTATUS_ENDDOWNLOADDATA, L"");
    EXPECT_EQ(callback.JudgeAttempt(row.serviceResult, file), row.expected);
  }
}

// The shipped retry policy: three attempts, one second apart.
TEST(DownloadRetryTest, ShipsWithThreeAttemptsOneSecondApart) {
  const DownloadRetry retry;
  EXPECT_EQ(retry.attempts, 3);
  EXPECT_EQ(retry.pauseMilliseconds, 1000u);
}

// ---------------------------------------------------------------------------------------
// Real transfers from the loopback server.

class WinDownloaderTest : public testing::Test {
 protected:
  std::unique_ptr<CWinDownloader> MakeDownloader(const std::wstring& url,
                                                 DownloadRetry retry = {3, 200}) {
    return std::make_unique<CWinDownloader>(recorder_.Callback(), url, destination_, retry);
  }

  // Starts a downloader and waits for its final event.
  void RunToEnd(CWinDownloader& downloader) {
    ASSERT_TRUE(downloader.Start());
    ASSERT_TRUE(recorder_.WaitFor({kDone, kFailed}));
  }

  HttpTestServer server_;
  TempFolder folder_;
  std::wstring destination_ = folder_.path() + L"\\package_Folvane.exe";
  EventRecorder recorder_;
};

// A file served with its length arrives whole: 1001 (1.0), progress fractions from 0 to 1
// in order, then one 1003 (0.0, "URLDownloadToFile"), all on the worker thread.
TEST_F(WinDownloaderTest, DownloadsAFileWithProgress) {
  ASSERT_TRUE(server_.IsListening());
  const std::string body = PackageBytes(200 * 1024);
  server_.Serve("/package.exe", {200, body});
  auto downloader = MakeDownloader(server_.Url(L"/package.exe"));
  RunToEnd(*downloader);
  downloader.reset();

  const auto events = recorder_.Events();
  ASSERT_GE(events.size(), 2u);
  EXPECT_EQ(events.front().code, kBegins);
  EXPECT_EQ(events.front().value, 1.0);
  EXPECT_EQ(events.back().code, kDone);
  EXPECT_EQ(events.back().value, 0.0);
  EXPECT_EQ(events.back().text, L"URLDownloadToFile");
  EXPECT_EQ(recorder_.CodesWithout(kProgress), (std::vector<int32_t>{kBegins, kDone}));
  double previous = 0.0;
  for (const RecordedEvent& event : events) {
    EXPECT_NE(event.threadId, ::GetCurrentThreadId());
    if (event.code != kProgress) continue;
    EXPECT_GE(event.value, previous);
    EXPECT_LE(event.value, 1.0);
    previous = event.value;
  }
  EXPECT_EQ(ReadWholeFile(destination_), body);
}

// Without a content length the file still arrives; no fraction can be given, so no 1002.
TEST_F(WinDownloaderTest, ServerWithoutLengthGivesNoProgress) {
  const std::string body = PackageBytes(50 * 1024);
  HttpTestResponse response{200, body};
  response.sendContentLength = false;
  server_.Serve("/package.exe", response);
  auto downloader = MakeDownloader(server_.Url(L"/package.exe"));
  RunToEnd(*downloader);
  downloader.reset();
  EXPECT_EQ(recorder_.Codes(), (std::vector<int32_t>{kBegins, kDone}));
  EXPECT_EQ(ReadWholeFile(destination_), body);
}

// A slow server that sends the file in pieces still delivers it whole.
TEST_F(WinDownloaderTest, SlowServerStillDeliversTheWholeFile) {
  const std::string body = PackageBytes(64 * 1024);
  HttpTestResponse response{200, body};
  response.chunkBytes = 8 * 1024;
  response.pauseMilliseconds = 150;
  server_.Serve("/package.exe", response);
  auto downloader = MakeDownloader(server_.Url(L"/package.exe"));
  RunToEnd(*downloader);
  downloader.reset();
  EXPECT_EQ(recorder_.CodesWithout(kProgress), (std::vector<int32_t>{kBegins, kDone}));
  EXPECT_EQ(ReadWholeFile(destination_), body);
}

struct FailureCase {
  const char* name;
  HttpTestResponse response;
  HRESULT lastResult;
};

// Every failing transfer is tried three times, with a pause after each failed attempt
// (the third included), and then reported once as 1004 carrying the last result code.
TEST_F(WinDownloaderTest, FailedTransfersAreTriedThreeTimesThenReportedOnce) {
  HttpTestResponse notFound{404, "missing"};
  HttpTestResponse serverError{500, "broken"};
  HttpTestResponse dropped{200, PackageBytes(100 * 1024)};
  dropped.chunkBytes = 4 * 1024;
  dropped.dropAfterBytes = 10 * 1024;
  const FailureCase cases[] = {
      {"not found", notFound, INET_E_RESOURCE_NOT_FOUND},
      {"server error", serverError, INET_E_DOWNLOAD_FAILURE},
      {"connection dropped part-way", dropped, INET_E_DOWNLOAD_FAILURE},
  };
  const DownloadRetry retry{3, 300};
  for (const FailureCase& row : cases) {
    SCOPED_TRACE(row.name);
    HttpTestServer server;
    EventRecorder recorder;
    server.Serve("/package.exe", row.response);
    const auto started = Clock::now();
    {
      CWinDownloader downloader(recorder.Callback(), server.Url(L"/package.exe"),
                                destination_, retry);
      ASSERT_TRUE(downloader.Start());
      ASSERT_TRUE(recorder.WaitFor({kDone, kFailed}));
    }
    const auto elapsed = std::chrono::duration_cast<milliseconds>(Clock::now() - started);
    EXPECT_EQ(server.RequestCount("/package.exe"), 3u);
    EXPECT_GE(elapsed.count(), 3 * 300);
    EXPECT_EQ(recorder.CodesWithout(kProgress), (std::vector<int32_t>{kBegins, kFailed}));
    const RecordedEvent last = recorder.Events().back();
    EXPECT_EQ(last.value, static_cast<double>(static_cast<int32_t>(row.lastResult)));
    EXPECT_LT(last.value, 0.0);
    EXPECT_EQ(last.text, L"URLDownloadToFile");
  }
}

// When nothing listens at the address the service itself fails each attempt; its own
// result code is reported after the third attempt.
TEST_F(WinDownloaderTest, UnreachableServerReportsTheServiceResult) {
  std::wstring url;
  {
    HttpTestServer closed;
    url = closed.Url(L"/package.exe");
  }
  auto downloader = MakeDownloader(url, {3, 100});
  const auto started = Clock::now();
  RunToEnd(*downloader);
  const auto elapsed = std::chrono::duration_cast<milliseconds>(Clock::now() - started);
  downloader.reset();
  EXPECT_EQ(recorder_.Codes(), (std::vector<int32_t>{kBegins, kFailed}));
  const RecordedEvent last = recorder_.Events().back();
  EXPECT_LT(last.value, 0.0);
  EXPECT_NE(last.value, static_cast<double>(static_cast<int32_t>(INET_E_RESOURCE_NOT_FOUND)));
  EXPECT_EQ(last.text, L"URLDownloadToFile");
  EXPECT_GE(elapsed.count(), 3 * 100);
}

// The address is escaped before the transfer: the server sees "+" for the space and
// %C3%BC for the ü, and an existing %20 unchanged.
TEST_F(WinDownloaderTest, SendsTheEscapedAddress) {
  const std::string escaped = "/dir+name/%C3%BC.exe?x=%20";
  server_.Serve(escaped, {200, "payload"});
  auto downloader = MakeDownloader(server_.Url(L"/dir name/\u00FC.exe?x=%20"));
  RunToEnd(*downloader);
  downloader.reset();
  EXPECT_EQ(server_.Requests(), (std::vector<std::string>{escaped}));
  EXPECT_EQ(recorder_.CodesWithout(kProgress), (std::vector<int32_t>{kBegins, kDone}));
  EXPECT_EQ(ReadWholeFile(destination_), "payload");
}

// A "file:///" address goes to the service unchanged, spaces and ü included; the same
// prefix in upper case is escaped like any other address, which then names no file.
TEST_F(WinDownloaderTest, LocalFileAddressIsNotEscapedOnlyWithTheExactPrefix) {
  const std::wstring source = folder_.WriteFile(L"local pack\u00FC.bin", "local bytes");
  std::wstring forward = source;
  for (wchar_t& c : forward)
    if (c == L'\\') c = L'/';

  {
    auto downloader = MakeDownloader(L"file:///" + forward);
    RunToEnd(*downloader);
  }
  EXPECT_EQ(recorder_.CodesWithout(kProgress), (std::vector<int32_t>{kBegins, kDone}));
  EXPECT_EQ(ReadWholeFile(destination_), "local bytes");

  ::DeleteFileW(destination_.c_str());
  EventRecorder upper;
  {
    CWinDownloader downloader(upper.Callback(), L"FILE:///" + forward, destination_, {3, 0});
    ASSERT_TRUE(downloader.Start());
    ASSERT_TRUE(upper.WaitFor({kDone, kFailed}));
  }
  EXPECT_EQ(upper.CodesWithout(kProgress), (std::vector<int32_t>{kBegins, kFailed}));
  EXPECT_EQ(::GetFileAttributesW(destination_.c_str()), INVALID_FILE_ATTRIBUTES);
}

// An empty destination is a failure (1.0, empty text) without any transfer.
TEST_F(WinDownloaderTest, EmptyDestinationFailsWithoutTransfer) {
  server_.Serve("/package.exe", {200, "payload"});
  {
    CWinDownloader downloader(recorder_.Callback(), server_.Url(L"/package.exe"), L"");
    RunToEnd(downloader);
  }
  const auto events = recorder_.Events();
  ASSERT_EQ(recorder_.Codes(), (std::vector<int32_t>{kBegins, kFailed}));
  EXPECT_EQ(events[1].value, 1.0);
  EXPECT_TRUE(events[1].text.empty());
  EXPECT_TRUE(server_.Requests().empty());
}

// A downloader transfers once: a second Start answers true but transfers nothing and
// sends no event.
TEST_F(WinDownloaderTest, SecondStartTransfersNothing) {
  server_.Serve("/package.exe", {200, "payload"});
  auto downloader = MakeDownloader(server_.Url(L"/package.exe"));
  RunToEnd(*downloader);
  ::Sleep(100);
  const size_t eventsBefore = recorder_.Events().size();
  EXPECT_TRUE(downloader->Start());
  ::Sleep(500);
  downloader.reset();
  EXPECT_EQ(recorder_.Events().size(), eventsBefore);
  EXPECT_EQ(server_.RequestCount("/package.exe"), 1u);
}

// Destroying a downloader in the middle of a slow transfer stops it promptly (no further
// attempts, no pauses) and sends nothing once destruction has begun.
TEST_F(WinDownloaderTest, DestroyingARunningDownloaderStopsItWithoutEvents) {
  HttpTestResponse slow{200, PackageBytes(64 * 1024)};
  slow.chunkBytes = 1024;
  slow.pauseMilliseconds = 200;  // about 13 seconds for the whole file
  server_.Serve("/package.exe", slow);
  auto downloader = MakeDownloader(server_.Url(L"/package.exe"), DownloadRetry{});
  ASSERT_TRUE(downloader->Start());
  ASSERT_TRUE(recorder_.WaitFor({kBegins}));
  ::Sleep(800);
  const size_t eventsBefore = recorder_.Events().size();
  const auto started = Clock::now();
  downloader.reset();
  const auto elapsed = std::chrono::duration_cast<milliseconds>(Clock::now() - started);
  EXPECT_LT(elapsed.count(), 5000);
  const auto codes = recorder_.Codes();
  EXPECT_EQ(codes.size(), eventsBefore);
  for (int32_t code : codes) EXPECT_TRUE(code == kBegins || code == kProgress);
  EXPECT_EQ(server_.RequestCount("/package.exe"), 1u);
}

// A downloader that was never started is destroyed at once and sends nothing.
TEST_F(WinDownloaderTest, DestroyingAnUnstartedDownloaderSendsNothing) {
  auto downloader = MakeDownloader(server_.Url(L"/package.exe"));
  downloader.reset();
  EXPECT_TRUE(recorder_.Events().empty());
  EXPECT_TRUE(server_.Requests().empty());
}

}  // namespace
