// Refusing std::threads by standing in for pthread_create.
#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "sim/runner/ThreadRefusal.h"

namespace simrunner {
namespace {

std::atomic<int> refusals{0};

using CreateFunction = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

CreateFunction realCreate() {
  static const CreateFunction real = [] {
    void* address = dlsym(RTLD_NEXT, "pthread_create");
    CreateFunction function = nullptr;
    std::memcpy(&function, &address, sizeof(address));
    return function;
  }();
  return real;
}

// A std::thread starts in the C++ runtime's own routine; the Go runtime and the C library
// start theirs elsewhere, and those are never refused.
bool startsStdThread(void* (*start)(void*)) {
  void* address = nullptr;
  std::memcpy(&address, &start, sizeof(address));
  Dl_info info{};
  if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) return false;
  return std::strstr(info.dli_fname, "libstdc++") != nullptr;
}

}  // namespace

void refuseThreads(int count) { refusals = count; }
int threadRefusalsLeft() { return refusals; }
void installThreadRefusal(void*) {}

}  // namespace simrunner

// The executable's definition comes first for every library of the process.
extern "C" __attribute__((visibility("default"))) int pthread_create(
    pthread_t* thread, const pthread_attr_t* attributes, void* (*start)(void*), void* argument) {
  using namespace simrunner;
  if (refusals.load() > 0 && startsStdThread(start)) {
    int left = refusals.load();
    while (left > 0 && !refusals.compare_exchange_weak(left, left - 1)) {
    }
    if (left > 0) return EAGAIN;
  }
  return realCreate()(thread, attributes, start, argument);
}
