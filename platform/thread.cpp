#include "platform/thread.h"

namespace platform {

TThread::TThread(MainThread& main_thread) : main_thread_(main_thread) {}

TThread::~TThread() {
  if (thread_.joinable()) thread_.join();
}

void TThread::Resume() {
  if (resumed_) return;
  resumed_ = true;
  main_thread_.WorkerStarted();
  // A self-freeing worker may be gone before the constructor of std::thread returns here, so
  // only a local object is touched after the start.
  std::thread worker([this] { Run(); });
  if (FreeOnTerminate) {
    worker.detach();
  } else {
    thread_ = std::move(worker);
  }
}

void TThread::WaitFor() {
  if (!resumed_) return;
  main_thread_.RunTasksUntil([this] { return finished_.load(); });
}

void TThread::Synchronize(const std::function<void()>& method) {
  const auto start = std::chrono::steady_clock::now();
  main_thread_.RunAndWait(method);
  const auto held = std::chrono::steady_clock::now() - start;
  held_ += held;
  if (held > longest_held_) longest_held_ = held;
  ++hand_overs_;
}

std::string TThread::HandOverTimes() const {
  return std::to_string(hand_overs_) + " reports " + std::to_string(Milliseconds(held_)) + " ms, longest " +
         std::to_string(Milliseconds(longest_held_)) + " ms";
}

long long Milliseconds(std::chrono::steady_clock::duration duration) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(duration).count();
}

void TThread::Run() {
  MainThread& main_thread = main_thread_;
  const bool free_on_terminate = FreeOnTerminate;
  try {
    Execute();
  } catch (...) {
    // A worker has nobody to report to but its own notifications; Execute handles what it can.
  }
  if (free_on_terminate) {
    delete this;
  } else {
    finished_ = true;
  }
  main_thread.WorkerEnded();
}

}  // namespace platform
