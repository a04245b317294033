// What the dialog cycle hands the upload progress dialog, and how it ends.
#pragma once

#include <functional>
#include <string>

#include "addin/ui/UploadWorkflow.h"

namespace ui {

struct UploadProgressRequest {
  // Shown, and used to find the model's link in the upload result.
  std::string fileName;
  // Display name of the target workspace; empty when unknown.
  std::string workspaceName;
  double sizeMegabytes = 0.0;
  // Runs on the user-interface thread before the upload: exports the model.
  std::function<void()> prepare;
  // Runs on the upload worker thread, after preparation.
  std::function<UploadExecutionResult()> upload;
};

struct UploadProgressOutcome {
  UploadExecutionResult result;
  // The user asked to upload another model: the main dialog is shown again.
  bool uploadAnother = false;
};

}  // namespace ui
