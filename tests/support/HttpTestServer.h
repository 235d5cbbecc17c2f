// A small HTTP/1.0 server on 127.0.0.1 for the download tests. It listens on a port the
// system picks, answers one connection at a time on a thread of its own and closes every
// connection after its answer. Paths it was not told about answer 404.
#pragma once

#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct HttpTestResponse {
  int status = 200;
  std::string body;
  // Without it the end of the body is the end of the connection.
  bool sendContentLength = true;
  // The connection is cut after this many body bytes (the full length is still announced).
  size_t dropAfterBytes = static_cast<size_t>(-1);
  // The body goes out in pieces of this size with this pause before each piece.
  size_t chunkBytes = 0;
  DWORD pauseMilliseconds = 0;
};

class HttpTestServer {
 public:
  HttpTestServer();
  ~HttpTestServer();
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  bool IsListening() const { return listener_ != INVALID_SOCKET; }
  unsigned short Port() const { return port_; }
  // "http://127.0.0.1:<port>" followed by the path.
  std::wstring Url(const std::wstring& path) const;

  // What a GET of the request target (path and query, exactly as sent) answers.
  void Serve(const std::string& target, const HttpTestResponse& response);
  // The request targets received so far, in order.
  std::vector<std::string> Requests() const;
  size_t RequestCount(const std::string& target) const;

 private:
  void AcceptLoop();
  // False when the connection is to be cut rather than closed in order.
  bool Answer(SOCKET connection);
  bool SendAll(SOCKET connection, const char* data, size_t size);

  SOCKET listener_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::map<std::string, HttpTestResponse> responses_;
  std::vector<std::string> requests_;
  std::thread thread_;
};
