// The upload progress dialog: prepares the upload on NX's user-interface thread, sends it on
// a worker thread, shows its stage, reports a failure once, and once the upload succeeded
// offers to open the model in the browser or to upload another model. It cannot be closed
// before the upload has finished: it is shown again until then.
#pragma once

#include "addin/ui/UploadProgressRequest.h"

namespace ui {

UploadProgressOutcome showUploadProgress(const UploadProgressRequest& request);

}  // namespace ui
