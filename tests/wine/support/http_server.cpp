#include "tests/wine/support/http_server.h"

#include <ws2tcpip.h>

TestHttpServer::TestHttpServer(HttpAnswer answer) : answer_(std::move(answer)) {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  stop_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
  listen(listener_, 8);
  int length = sizeof address;
  getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

TestHttpServer::~TestHttpServer() {
  SetEvent(stop_);
  closesocket(listener_);  // ends the accept below
  thread_.join();
  CloseHandle(stop_);
  WSACleanup();
}

std::vector<std::string> TestHttpServer::requests() {
  std::vector<std::string> lines;
  for (const std::string& head : heads()) lines.push_back(head.substr(0, head.find("\r\n")));
  return lines;
}

std::vector<std::string> TestHttpServer::heads() {
  std::lock_guard lock(mutex_);
  return heads_;
}

void TestHttpServer::Serve() {
  for (;;) {
    SOCKET client = accept(listener_, nullptr, nullptr);
    if (client == INVALID_SOCKET) return;
    std::string request;
    char buffer[2048];
    while (request.find("\r\n\r\n") == std::string::npos) {
      int got = recv(client, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      request.append(buffer, static_cast<size_t>(got));
    }
    {
      std::lock_guard lock(mutex_);
      heads_.push_back(request.substr(0, request.find("\r\n\r\n")));
    }
    Answer(client);
    shutdown(client, SD_SEND);
    closesocket(client);
  }
}

void TestHttpServer::Answer(SOCKET client) {
  if (answer_.silent) {
    WaitForSingleObject(stop_, INFINITE);
    return;
  }
  const bool unsized = answer_.trickle_ms > 0 || answer_.endless;
  std::string head = "HTTP/1.0 " + std::to_string(answer_.status) + (answer_.status == 200 ? " OK" : " Other") +
                     "\r\nContent-Type: text/html\r\n";
  if (!answer_.location.empty()) head += "Location: " + answer_.location + "\r\n";
  if (!unsized) head += "Content-Length: " + std::to_string(answer_.body.size()) + "\r\n";
  head += "Connection: close\r\n\r\n";
  auto send_all = [&](const std::string& data) {
    return data.empty() || send(client, data.data(), static_cast<int>(data.size()), 0) == static_cast<int>(data.size());
  };
  if (!send_all(head)) return;
  if (answer_.trickle_ms > 0) {
    for (char c : answer_.body) {
      if (!send_all(std::string(1, c)) || WaitForSingleObject(stop_, answer_.trickle_ms) == WAIT_OBJECT_0) return;
    }
    return;
  }
  if (answer_.endless) {
    // Until the client hangs up (the send fails) or the server stops.
    while (WaitForSingleObject(stop_, 0) != WAIT_OBJECT_0 && send_all(answer_.body)) {
    }
    return;
  }
  send_all(answer_.body);
}
