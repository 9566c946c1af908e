#include "tests/wine/support/http_server.h"

#include <ws2tcpip.h>

#include <algorithm>

TestHttpServer::TestHttpServer(HttpAnswer answer, std::vector<HttpRoute> routes)
    : answer_(std::move(answer)), routes_(std::move(routes)) {
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

int TestHttpServer::hang_ups() {
  std::lock_guard lock(mutex_);
  return hang_ups_;
}

void TestHttpServer::CountHangUp() {
  std::lock_guard lock(mutex_);
  ++hang_ups_;
}

TestHttpServer::Wait TestHttpServer::WaitForClient(SOCKET client, DWORD ms) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (WaitForSingleObject(stop_, 0) == WAIT_OBJECT_0) return Wait::kStopped;
    const DWORD spent = GetTickCount() - start;
    if (ms != INFINITE && spent >= ms) return Wait::kElapsed;
    // A short select, so that the stop event is seen soon too.
    const DWORD slice = ms == INFINITE ? 50 : std::min<DWORD>(50, ms - spent);
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(client, &readable);
    timeval timeout{0, static_cast<long>(slice) * 1000};
    const int ready = select(0, &readable, nullptr, nullptr, &timeout);
    if (ready < 0) return Wait::kClientGone;
    if (ready == 0) continue;
    char byte;
    if (recv(client, &byte, 1, 0) <= 0) return Wait::kClientGone;  // its end of the connection closed
  }
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
    const std::string head = request.substr(0, request.find("\r\n\r\n"));
    {
      std::lock_guard lock(mutex_);
      heads_.push_back(head);
    }
    const std::string line = head.substr(0, head.find("\r\n"));
    const HttpAnswer* answer = &answer_;
    for (const HttpRoute& route : routes_) {
      if (line.find(route.match) != std::string::npos) {
        answer = &route.answer;
        break;
      }
    }
    Answer(client, *answer);
    shutdown(client, SD_SEND);
    closesocket(client);
  }
}

void TestHttpServer::Answer(SOCKET client, const HttpAnswer& answer) {
  if (answer.silent) {
    if (WaitForClient(client, INFINITE) == Wait::kClientGone) CountHangUp();
    return;
  }
  const bool unsized = answer.trickle_ms > 0 || answer.endless;
  std::string head = "HTTP/1.0 " + std::to_string(answer.status) + (answer.status == 200 ? " OK" : " Other") +
                     "\r\nContent-Type: text/html\r\n";
  if (!answer.location.empty()) head += "Location: " + answer.location + "\r\n";
  if (!unsized) head += "Content-Length: " + std::to_string(answer.body.size()) + "\r\n";
  head += "Connection: close\r\n\r\n";
  auto send_all = [&](const std::string& data) {
    return data.empty() || send(client, data.data(), static_cast<int>(data.size()), 0) == static_cast<int>(data.size());
  };
  if (!send_all(head)) return;
  if (answer.trickle_ms > 0) {
    for (char c : answer.body) {
      if (!send_all(std::string(1, c))) return CountHangUp();
      switch (WaitForClient(client, answer.trickle_ms)) {
        case Wait::kElapsed:
          break;
        case Wait::kClientGone:
          return CountHangUp();
        case Wait::kStopped:
          return;
      }
    }
    return;
  }
  if (answer.endless) {
    // Until the client hangs up (the send fails) or the server stops.
    while (WaitForSingleObject(stop_, 0) != WAIT_OBJECT_0) {
      if (!send_all(answer.body)) return CountHangUp();
    }
    return;
  }
  send_all(answer.body);
}
