// The blocks the dialogs' code addresses by id, with the block type each use expects. A test
// holds this list against the shipped dialog files and against the ids the code names.
#pragma once

namespace ui {

struct DialogBlock {
  const char* dialogFile;
  const char* id;
  const char* type;  // UIBlock::Type()
};

inline constexpr DialogBlock kDialogBlocks[] = {
    {"start.dlx", "signInButton", "Button"},

    {"synquoGui.dlx", "userGreeting", "Label"},
    {"synquoGui.dlx", "emailLabel", "Label"},
    {"synquoGui.dlx", "versionLabel", "Label"},
    {"synquoGui.dlx", "blankLabel1", "Label"},
    {"synquoGui.dlx", "group0", "Group"},
    {"synquoGui.dlx", "fileName", "Label"},
    {"synquoGui.dlx", "fileSize", "Label"},
    {"synquoGui.dlx", "lastModified", "Label"},
    {"synquoGui.dlx", "uploadFilesGroup", "Group"},
    {"synquoGui.dlx", "uploadFile1", "Label"},
    {"synquoGui.dlx", "uploadFile2", "Label"},
    {"synquoGui.dlx", "uploadFile3", "Label"},
    {"synquoGui.dlx", "uploadFile4", "Label"},
    {"synquoGui.dlx", "uploadFile5", "Label"},
    {"synquoGui.dlx", "uploadFile6", "Label"},
    {"synquoGui.dlx", "uploadFile7", "Label"},
    {"synquoGui.dlx", "uploadFile8", "Label"},
    {"synquoGui.dlx", "uploadFile9", "Label"},
    {"synquoGui.dlx", "uploadFile10", "Label"},
    {"synquoGui.dlx", "uploadFile11", "Label"},
    {"synquoGui.dlx", "uploadFile12", "Label"},
    {"synquoGui.dlx", "uploadFile13", "Label"},
    {"synquoGui.dlx", "uploadFile14", "Label"},
    {"synquoGui.dlx", "uploadFile15", "Label"},
    {"synquoGui.dlx", "uploadFile16", "Label"},
    {"synquoGui.dlx", "uploadFile17", "Label"},
    {"synquoGui.dlx", "uploadFile18", "Label"},
    {"synquoGui.dlx", "uploadFile19", "Label"},
    {"synquoGui.dlx", "uploadFile20", "Label"},
    {"synquoGui.dlx", "uploadFile21", "Label"},
    {"synquoGui.dlx", "idWarningGroup", "Group"},
    {"synquoGui.dlx", "idWarning", "Label"},
    {"synquoGui.dlx", "drwWarningGroup", "Group"},
    {"synquoGui.dlx", "drwWarning", "Label"},
    {"synquoGui.dlx", "unsavedWarningGroup", "Group"},
    {"synquoGui.dlx", "unsavedWarning", "Label"},
    {"synquoGui.dlx", "unsupportedWarningGroup", "Group"},
    {"synquoGui.dlx", "unsupportedWarning", "Label"},
    {"synquoGui.dlx", "identityWarningGroup", "Group"},
    {"synquoGui.dlx", "identityWarning", "Label"},
    {"synquoGui.dlx", "blankLabel2", "Label"},
    {"synquoGui.dlx", "selectWorkspaceLabel", "Label"},
    {"synquoGui.dlx", "workspaceList", "Enumeration"},
    {"synquoGui.dlx", "targetWarningGroup", "Group"},
    {"synquoGui.dlx", "targetWarning", "Label"},
    {"synquoGui.dlx", "signOutButton", "Button"},
    {"synquoGui.dlx", "uploadButton", "Button"},

    {"uploadProgress.dlx", "openInSynquoButton", "Button"},
    {"uploadProgress.dlx", "uploadAnotherButton", "Button"},
    {"uploadProgress.dlx", "primaryStatus", "Label"},
    {"uploadProgress.dlx", "spinner", "Label"},
    {"uploadProgress.dlx", "actionGroup", "Group"},
    {"uploadProgress.dlx", "sizeSecondaryLabel", "Label"},
    {"uploadProgress.dlx", "modelWorkspaceLabel", "Label"},
    {"uploadProgress.dlx", "emailLabel", "Label"},
    {"uploadProgress.dlx", "versionLabel", "Label"},
    {"uploadProgress.dlx", "leftLabel1", "Label"},
    {"uploadProgress.dlx", "rightLabel1", "Label"},
    {"uploadProgress.dlx", "leftLabel2", "Label"},
    {"uploadProgress.dlx", "rightLabel2", "Label"},
    {"uploadProgress.dlx", "leftLabel3", "Label"},
    {"uploadProgress.dlx", "rightLabel3", "Label"},
};

}  // namespace ui
