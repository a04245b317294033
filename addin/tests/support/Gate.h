// A one-shot signal for threaded tests; copies share it, so a detached worker may keep one.
#pragma once

#include <chrono>
#include <future>
#include <memory>

namespace testsupport {

class Gate {
 public:
  void open() const { promise_->set_value(); }
  void wait() const { future_.wait(); }
  bool waitFor(std::chrono::milliseconds timeout) const {
    return future_.wait_for(timeout) == std::future_status::ready;
  }

 private:
  std::shared_ptr<std::promise<void>> promise_ = std::make_shared<std::promise<void>>();
  std::shared_future<void> future_ = promise_->get_future().share();
};

}  // namespace testsupport
