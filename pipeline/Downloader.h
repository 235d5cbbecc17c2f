// A package download that reports through an EventCallback: 1001 when its worker begins,
// 1002 with the fraction received, then one 1003 (done) or 1004 (failed). Owners hold
// and destroy downloaders through this base; destroying one stops its transfer and waits
// for its worker.
#pragma once

class CDownloader {
 public:
  virtual ~CDownloader() = default;
  // Starts the worker; false when it could not be started. Events arrive later, on the
  // worker thread. A downloader transfers once: a second Start does nothing.
  virtual bool Start() = 0;
};
