#include "pipeline/WinDownloader.h"

#include <wininet.h>

#include "pipeline/UrlEscape.h"
#include "utils/StringUtil.h"

namespace {

constexpr int32_t kDownloadBegins = 1001;
constexpr int32_t kDownloadProgress = 1002;
constexpr int32_t kDownloadDone = 1003;
constexpr int32_t kDownloadFailed = 1004;
constexpr wchar_t kTransferName[] = L"URLDownloadToFile";
// Local files are handed over as they are: escaping would turn their spaces into "+".
constexpr wchar_t kLocalFilePrefix[] = L"file:///";

}  // namespace

CWinDownloader::CBindCallback::~CBindCallback() { RaiseAbort(); }

void CWinDownloader::CBindCallback::RaiseAbort() {
  std::lock_guard<std::mutex> lock(deliveryMutex_);
  aborted_ = true;
}

void CWinDownloader::CBindCallback::Deliver(int32_t code, double value,
                                            const std::wstring& text) {
  std::lock_guard<std::mutex> lock(deliveryMutex_);
  if (aborted_ || !eventCallback_) return;
  eventCallback_(code, value, text);
}

HRESULT CWinDownloader::CBindCallback::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  // The one interface handed out: it carries the HTTP status of the answer.
  if (IsEqualIID(iid, IID_IHttpNegotiate)) {
    *object = static_cast<IHttpNegotiate*>(this);
    return S_OK;
  }
  return E_NOTIMPL;
}

HRESULT CWinDownloader::CBindCallback::BeginningTransaction(LPCWSTR, LPCWSTR, DWORD,
                                                            LPWSTR* additionalHeaders) {
  if (additionalHeaders) *additionalHeaders = nullptr;
  return S_OK;
}

HRESULT CWinDownloader::CBindCallback::OnResponse(DWORD responseCode, LPCWSTR, LPCWSTR,
                                                  LPWSTR* additionalRequestHeaders) {
  if (additionalRequestHeaders) *additionalRequestHeaders = nullptr;
  httpStatus_ = responseCode;
  return S_OK;
}

void CWinDownloader::CBindCallback::BeginAttempt() {
  httpStatus_ = 0;
  announcedLength_ = 0;
}

HRESULT CWinDownloader::CBindCallback::JudgeAttempt(HRESULT serviceResult,
                                                    const std::wstring& destination) const {
  if (serviceResult != S_OK) return serviceResult;
  if (httpStatus_ == HTTP_STATUS_NOT_FOUND) return INET_E_RESOURCE_NOT_FOUND;
  if (httpStatus_ >= 400) return INET_E_DOWNLOAD_FAILURE;
  if (announcedLength_ != 0) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(destination.c_str(), GetFileExInfoStandard, &data))
      return INET_E_DOWNLOAD_FAILURE;
    if (data.nFileSizeHigh == 0 && data.nFileSizeLow < announcedLength_)
      return INET_E_DOWNLOAD_FAILURE;
  }
  return S_OK;
}

HRESULT CWinDownloader::CBindCallback::OnProgress(ULONG progress, ULONG progressMax, ULONG,
                                                 LPCWSTR) {
  if (aborted_) return E_ABORT;
  // Servers that send no length report a maximum of 0: no fraction can be given then.
  if (progressMax == 0) return S_OK;
  announcedLength_ = progressMax;
  const double fraction = static_cast<double>(progress) / static_cast<double>(progressMax);
  Deliver(kDownloadProgress, fraction, std::wstring());
  return S_OK;
}

HRESULT CWinDownloader::CBindCallback::GetBindInfo(DWORD*, BINDINFO* bindInfo) {
  // The address was escaped from UTF-8, so the service must read it as UTF-8.
  if (bindInfo) bindInfo->dwCodePage = CP_UTF8;
  return E_NOTIMPL;
}

CWinDownloader::CWinDownloader(EventCallback eventCallback, std::wstring sourceUrl,
                               std::wstring destination, DownloadRetry retry)
    : eventCallback_(std::move(eventCallback)),
      destination_(std::move(destination)),
      sourceUrl_(std::move(sourceUrl)),
      retry_(retry),
      abortEvent_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
  worker_ = std::make_unique<WorkerThread>(
      [](void* self) -> uint32_t { return static_cast<CWinDownloader*>(self)->Download(); },
      this, L"ABDEF");
}

CWinDownloader::~CWinDownloader() {
  bindCallback_.RaiseAbort();
  if (abortEvent_) ::SetEvent(abortEvent_.get());
  worker_.reset();
}

bool CWinDownloader::Start() {
  // The worker reads the bind callback's copy without a lock: it is set only before the
  // first resume.
  if (!started_) bindCallback_.SetEventCallback(eventCallback_);
  started_ = true;
  return worker_->Start();
}

bool CWinDownloader::PauseBeforeRetry() {
  if (!abortEvent_) {
    ::Sleep(retry_.pauseMilliseconds);
    return !bindCallback_.IsAborted();
  }
  return ::WaitForSingleObject(abortEvent_.get(), retry_.pauseMilliseconds) == WAIT_TIMEOUT;
}

uint32_t CWinDownloader::Download() {
  // The moniker service needs COM on the thread that calls it.
  Utils::ScopedCoInitialize com;
  bindCallback_.Deliver(kDownloadBegins, 1.0, std::wstring());
  if (destination_.empty()) {
    bindCallback_.Deliver(kDownloadFailed, 1.0, std::wstring());
    return 0;
  }
  const std::wstring url =
      Utils::BeginsWith(sourceUrl_, kLocalFilePrefix) ? sourceUrl_ : UrlEscape(sourceUrl_);
  HRESULT result = E_FAIL;
  for (int attempt = 0; attempt < retry_.attempts; ++attempt) {
    if (bindCallback_.IsAborted()) break;
    bindCallback_.BeginAttempt();
    result = ::URLDownloadToFileW(nullptr, url.c_str(), destination_.c_str(), 0,
                                  static_cast<IBindStatusCallback*>(&bindCallback_));
    result = bindCallback_.JudgeAttempt(result, destination_);
    if (result == S_OK) break;
    if (!PauseBeforeRetry()) break;
  }
  if (result == S_OK)
    bindCallback_.Deliver(kDownloadDone, 0.0, kTransferName);
  else
    bindCallback_.Deliver(kDownloadFailed, static_cast<double>(static_cast<int32_t>(result)),
                          kTransferName);
  return 0;
}
