#pragma once
// A tiny HTTP server of the tests' own on 127.0.0.1: it answers every request with one body and
// records the request lines. Started by the constructor on a free port, stopped by the destructor.
#include <winsock2.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

class TestHttpServer {
 public:
  explicit TestHttpServer(std::string body);
  ~TestHttpServer();
  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;

  int port() const { return port_; }
  std::string host() const { return "127.0.0.1:" + std::to_string(port_); }
  std::vector<std::string> requests();

 private:
  void Serve();
  std::string body_;
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> requests_;
};
