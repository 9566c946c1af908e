#include "tests/wine/support/http_server.h"

#include <ws2tcpip.h>

TestHttpServer::TestHttpServer(std::string body) : body_(std::move(body)) {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
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
  closesocket(listener_);  // ends the accept below
  thread_.join();
  WSACleanup();
}

std::vector<std::string> TestHttpServer::requests() {
  std::lock_guard lock(mutex_);
  return requests_;
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
      requests_.push_back(request.substr(0, request.find("\r\n")));
    }
    const std::string reply =
        "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body_.size()) +
        "\r\nConnection: close\r\n\r\n" + body_;
    send(client, reply.data(), static_cast<int>(reply.size()), 0);
    shutdown(client, SD_SEND);
    closesocket(client);
  }
}
