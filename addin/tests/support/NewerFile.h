// One file that looks an hour newer than it was written. A clone call writes every file at
// once, so their times cannot be told apart; this makes "the newest file" one of them.
#pragma once

#include <chrono>
#include <filesystem>
#include <system_error>
#include <utility>

#include "addin/platform/PlatformWrapper.h"

namespace testsupport {

class NewerFile : public platform::PlatformWrapper {
 public:
  NewerFile(platform::Platform& target, std::filesystem::path fileName)
      : PlatformWrapper(target), fileName_(std::move(fileName)) {}

  std::error_code lastWriteTime(const std::filesystem::path& path,
                                std::chrono::system_clock::time_point& when) override {
    const std::error_code error = target().lastWriteTime(path, when);
    if (!error && path.filename() == fileName_) when += std::chrono::hours(1);
    return error;
  }

 private:
  std::filesystem::path fileName_;
};

}  // namespace testsupport
