// Parts copied outside NX keep their internal identifier (or SYNQUO_ID), so two files of one
// assembly can carry the same source file id, and the service would take them for revisions of
// one model. This finds such records in a collected list.
#pragma once

#include <vantel/vantel.h>

#include <string>
#include <vector>

namespace synquo {

// Logs one Warning per pair of records with the same non-empty source file id and different
// source paths, and returns the file names of every such record once, in list order.
std::vector<std::string> findSharedIdentities(
    const std::vector<vantel::VantelUploadPayloadFile>& files);

// The name a record is known by: its upload file name when it has a local file, else the last
// element of its source path, else its file name.
std::string recordDisplayName(const vantel::VantelUploadPayloadFile& record);

}  // namespace synquo
