// The package download through the system's URL moniker service (URLDownloadToFileW),
// on a worker thread of its own, with up to three attempts one second apart.
#pragma once

#include <windows.h>
#include <urlmon.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

#include "pipeline/Downloader.h"
#include "pipeline/EventCallback.h"
#include "pipeline/WorkerThread.h"
#include "utils/ScopedHandle.h"

// How often a failed transfer is tried and how long the worker pauses after each failed
// attempt (after the last one too, so a failure is reported one pause after it happened).
struct DownloadRetry {
  int attempts = 3;
  DWORD pauseMilliseconds = 1000;
};

class CWinDownloader : public CDownloader {
 public:
  // Lives inside its downloader, so it keeps no reference count: the moniker service
  // only borrows it for the length of one URLDownloadToFileW call. It also takes the
  // HTTP answer's status, because the moniker service reports a 404 page or a
  // connection cut before the announced length as a successful download.
  class CBindCallback : public IBindStatusCallbackEx, public IHttpNegotiate {
   public:
    CBindCallback() = default;
    virtual ~CBindCallback();
    CBindCallback(const CBindCallback&) = delete;
    CBindCallback& operator=(const CBindCallback&) = delete;

    void SetEventCallback(EventCallback callback) { eventCallback_ = std::move(callback); }
    // From now on every progress notification answers E_ABORT, which makes the running
    // transfer fail, and no further event is sent. Waits for an event being delivered.
    void RaiseAbort();
    bool IsAborted() const { return aborted_; }
    // Hands one event to the owner unless the abort flag is up. The flag and the
    // delivery are exclusive, so once RaiseAbort has returned no event reaches the owner.
    void Deliver(int32_t code, double value, const std::wstring& text);

    // Forgets what the previous attempt saw.
    void BeginAttempt();
    // The attempt's result as the installer judges it: the service's own result, unless
    // that is a success while the server answered with an HTTP error status
    // (INET_E_RESOURCE_NOT_FOUND for 404, INET_E_DOWNLOAD_FAILURE otherwise) or the file
    // holds fewer bytes than the length the server announced (INET_E_DOWNLOAD_FAILURE).
    HRESULT JudgeAttempt(HRESULT serviceResult, const std::wstring& destination) const;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 0; }
    ULONG STDMETHODCALLTYPE Release() override { return 0; }
    HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD, IBinding*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPriority(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode,
                                         LPCWSTR statusText) override;
    HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT, LPCWSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* bindFlags, BINDINFO* bindInfo) override;
    HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override {
      return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBindInfoEx(DWORD*, BINDINFO*, DWORD*, DWORD*) override {
      return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE BeginningTransaction(LPCWSTR, LPCWSTR, DWORD,
                                                   LPWSTR* additionalHeaders) override;
    HRESULT STDMETHODCALLTYPE OnResponse(DWORD responseCode, LPCWSTR, LPCWSTR,
                                         LPWSTR* additionalRequestHeaders) override;

   private:
    EventCallback eventCallback_;
    // Written by the thread that tears the downloader down, read by the worker.
    std::atomic<bool> aborted_{false};
    std::mutex deliveryMutex_;
    // What the running attempt has seen; only the worker thread touches these.
    DWORD httpStatus_ = 0;
    ULONG announcedLength_ = 0;
  };

  CWinDownloader(EventCallback eventCallback, std::wstring sourceUrl, std::wstring destination,
                 DownloadRetry retry = DownloadRetry());
  // Raises the abort flag (the running attempt fails at its next progress notification,
  // the pause is cut short, no further attempt is made and no event is sent) and then
  // waits for the worker, so the owner is never called back once this returns.
  ~CWinDownloader() override;
  CWinDownloader(const CWinDownloader&) = delete;
  CWinDownloader& operator=(const CWinDownloader&) = delete;

  bool Start() override;

 private:
  uint32_t Download();
  // Pauses after a failed attempt; false when the pause was cut short by teardown.
  bool PauseBeforeRetry();

  CBindCallback bindCallback_;
  EventCallback eventCallback_;
  std::wstring destination_;
  std::wstring sourceUrl_;
  DownloadRetry retry_;
  bool started_ = false;
  Utils::ScopedHandle abortEvent_;
  std::unique_ptr<WorkerThread> worker_;
};
