// What the dialog cycle hands the upload progress dialog, and how it ends.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace ui {

struct UploadProgressRequest {
  std::string fileName;
  std::string workspaceName;
  int64_t workspaceId = 0;
  double sizeMegabytes = 0.0;
  // Runs on the user-interface thread before the upload: exports the model.
  std::function<void()> prepare;
  // Runs on the upload worker thread.
  std::function<void()> upload;
};

enum class UploadProgressOutcome {
  Closed,         // the user is done
  UploadAnother,  // the user asked to upload another model: show the main dialog again
};

}  // namespace ui
