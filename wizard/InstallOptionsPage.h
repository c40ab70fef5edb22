// The install options page: where the product goes. For now only the install folder that
// the page proposes.
#pragma once
#include <stddef.h>

// The install folder the page proposes: "ProgramFilesDir" of HKLM
// SOFTWARE\Microsoft\Windows\CurrentVersion, else "C:\Program Files" when that folder exists,
// else "C:"; then "Morvane\" and the setup's folder name (SetupFolderName). A value so long
// that the result would not fit is passed over as if absent. False when even that does not
// fit `capacity` (the buffer then holds the empty text).
bool DefaultInstallPath(char* buffer, size_t capacity);
