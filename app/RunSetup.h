// The install sequence: preparation, the background window, the installation actions
// under the progress dialog, the report and the clean-up.
#pragma once
#include "app/ProgressDialog.h"
#include "app/SetupContext.h"

// Runs the whole setup on the context. Returns 0 on every path.
int RunSetup(SetupContext& context);

// The installation actions in their fixed order, under the progress dialog (whose range is
// already set). The first failing action leaves its reason in the context's failureReason
// and skips the rest. True when every action succeeded.
bool RunInstallActions(SetupContext& context, ProgressDialog& progress);

// The wizard's side picture: the side picture resource expanded into `file` (a temporary
// file of the caller's) and read from there; the file is deleted whatever the outcome.
// None when the resource cannot be expanded or read.
HBITMAP LoadSidePicture(const char* file);

// The progress range of an installation: five steps per selected product, plus four.
int InstallProgressRange(uint32_t selectedProducts);
