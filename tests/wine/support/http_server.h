#pragma once
// A tiny HTTP server of the tests' own on 127.0.0.1: it gives every request the same answer and
// records the requests. Started by the constructor on a free port, stopped by the destructor.
// Besides a plain body it can misbehave as servers out there do: answer with another status or a
// redirect, trickle, send without end, or accept and never answer.
#include <winsock2.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct HttpAnswer {
  int status = 200;
  std::string body;
  std::string location;  // sent as a Location header when not empty
  DWORD trickle_ms = 0;  // when set: the body one byte at a time, this far apart, without a length
  bool endless = false;  // the body again and again, without a length, until the client goes
  bool silent = false;   // reads the request and never answers
};

class TestHttpServer {
 public:
  explicit TestHttpServer(std::string body) : TestHttpServer(HttpAnswer{200, std::move(body)}) {}
  explicit TestHttpServer(HttpAnswer answer);
  ~TestHttpServer();
  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;

  int port() const { return port_; }
  std::string host() const { return "127.0.0.1:" + std::to_string(port_); }
  // The request lines ("GET /path HTTP/1.1"), in order of arrival.
  std::vector<std::string> requests();
  // The whole head of each request, header lines included.
  std::vector<std::string> heads();

 private:
  void Serve();
  void Answer(SOCKET client);
  HttpAnswer answer_;
  SOCKET listener_ = INVALID_SOCKET;
  HANDLE stop_ = nullptr;  // set by the destructor: ends a trickle or a silence at once
  int port_ = 0;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> heads_;
};
