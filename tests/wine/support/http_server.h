#pragma once
// A tiny HTTP server of the tests' own on 127.0.0.1: it answers one connection at a time, each
// request by the first route its request line matches (else by the default answer), and records
// the requests. Started by the constructor on a free port, stopped by the destructor. Besides a
// plain body it can misbehave as servers out there do: answer with another status or a redirect,
// trickle, send without end, or accept and never answer; it notes when the client hangs up first.
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

struct HttpRoute {
  std::string match;  // a part of the request line, "type=news" say
  HttpAnswer answer;
};

class TestHttpServer {
 public:
  explicit TestHttpServer(std::string body) : TestHttpServer(HttpAnswer{200, std::move(body)}) {}
  explicit TestHttpServer(HttpAnswer answer, std::vector<HttpRoute> routes = {});
  ~TestHttpServer();
  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;

  int port() const { return port_; }
  std::string host() const { return "127.0.0.1:" + std::to_string(port_); }
  // The request lines ("GET /path HTTP/1.1"), in order of arrival.
  std::vector<std::string> requests();
  // The whole head of each request, header lines included.
  std::vector<std::string> heads();
  // How many clients hung up before their answer was complete (a trickle, an endless body, a
  // silence cut short).
  int hang_ups();

 private:
  enum class Wait { kElapsed, kClientGone, kStopped };
  void Serve();
  void Answer(SOCKET client, const HttpAnswer& answer);
  // Waits up to ms (INFINITE: without end) for the client to hang up or the server to stop.
  Wait WaitForClient(SOCKET client, DWORD ms);
  void CountHangUp();
  HttpAnswer answer_;
  std::vector<HttpRoute> routes_;
  SOCKET listener_ = INVALID_SOCKET;
  HANDLE stop_ = nullptr;  // set by the destructor: ends a trickle or a silence at once
  int port_ = 0;
  std::thread thread_;
  std::mutex mutex_;
  std::vector<std::string> heads_;
  int hang_ups_ = 0;
};
