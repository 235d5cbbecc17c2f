#include "support/HttpTestServer.h"

#include <ws2tcpip.h>

#include <algorithm>

namespace {

std::string StatusLine(int status) {
  switch (status) {
    case 200: return "200 OK";
    case 404: return "404 Not Found";
    case 500: return "500 Internal Server Error";
    default: return std::to_string(status) + " Status";
  }
}

// The request target of "GET <target> HTTP/1.x"; empty when the line is not of that form.
std::string RequestTarget(const std::string& head) {
  const size_t firstSpace = head.find(' ');
  if (firstSpace == std::string::npos) return {};
  const size_t secondSpace = head.find(' ', firstSpace + 1);
  if (secondSpace == std::string::npos) return {};
  return head.substr(firstSpace + 1, secondSpace - firstSpace - 1);
}

}  // namespace

HttpTestServer::HttpTestServer() {
  WSADATA data;
  if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
  listener_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (listener_ == INVALID_SOCKET) return;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  int length = sizeof(address);
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      ::listen(listener_, 8) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::closesocket(listener_);
    listener_ = INVALID_SOCKET;
    return;
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { AcceptLoop(); });
}

HttpTestServer::~HttpTestServer() {
  stopping_ = true;
  if (thread_.joinable()) thread_.join();
  if (listener_ != INVALID_SOCKET) ::closesocket(listener_);
  ::WSACleanup();
}

std::wstring HttpTestServer::Url(const std::wstring& path) const {
  return L"http://127.0.0.1:" + std::to_wstring(port_) + path;
}

void HttpTestServer::Serve(const std::string& target, const HttpTestResponse& response) {
  std::lock_guard<std::mutex> lock(mutex_);
  responses_[target] = response;
}

std::vector<std::string> HttpTestServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

size_t HttpTestServer::RequestCount(const std::string& target) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<size_t>(std::count(requests_.begin(), requests_.end(), target));
}

void HttpTestServer::AcceptLoop() {
  while (!stopping_) {
    // A short select keeps the loop responsive to the destructor.
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(listener_, &readable);
    timeval wait{0, 50 * 1000};
    if (::select(0, &readable, nullptr, nullptr, &wait) <= 0) continue;
    SOCKET connection = ::accept(listener_, nullptr, nullptr);
    if (connection == INVALID_SOCKET) continue;
    if (Answer(connection)) ::shutdown(connection, SD_SEND);
    ::closesocket(connection);
  }
}

bool HttpTestServer::SendAll(SOCKET connection, const char* data, size_t size) {
  while (size > 0) {
    const int sent = ::send(connection, data, static_cast<int>(size), 0);
    if (sent <= 0) return false;
    data += sent;
    size -= static_cast<size_t>(sent);
  }
  return true;
}

bool HttpTestServer::Answer(SOCKET connection) {
  std::string head;
  char buffer[2048];
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 64 * 1024) {
    const int received = ::recv(connection, buffer, sizeof(buffer), 0);
    if (received <= 0) return false;
    head.append(buffer, static_cast<size_t>(received));
  }
  const std::string target = RequestTarget(head);
  HttpTestResponse response;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(target);
    auto found = responses_.find(target);
    if (found != responses_.end()) {
      response = found->second;
    } else {
      response.status = 404;
      response.body = "not found";
    }
  }
  std::string header = "HTTP/1.0 " + StatusLine(response.status) + "\r\n";
  header += "Content-Type: application/octet-stream\r\nConnection: close\r\n";
  if (response.sendContentLength)
    header += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
  header += "\r\n";
  if (!SendAll(connection, header.data(), header.size())) return false;

  const size_t total = std::min(response.body.size(), response.dropAfterBytes);
  const size_t piece = response.chunkBytes ? response.chunkBytes : total;
  for (size_t offset = 0; offset < total && !stopping_; offset += piece) {
    if (response.pauseMilliseconds) ::Sleep(response.pauseMilliseconds);
    const size_t size = std::min(piece, total - offset);
    if (!SendAll(connection, response.body.data() + offset, size)) return false;
  }
  if (total < response.body.size()) {
    // Cut the connection hard (RST) so the client sees a broken transfer, not an end.
    linger hard{1, 0};
    ::setsockopt(connection, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&hard),
                 sizeof(hard));
    return false;
  }
  return true;
}
