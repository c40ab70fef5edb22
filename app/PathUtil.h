// Folders and files by path: creation, removal by pattern, the company's temporary folder.
#pragma once
#include <stddef.h>

// Creates every missing folder of a drive path ("C:\a\b") or a network path ("\\server\share\a");
// the server's share is the first folder tried. False for a relative path, a network path
// without a share, a path too long for a path buffer, or at the first folder that can neither
// be made nor already exists (the folders made before it stay).
bool CreatePath(const char* path);

// Deletes every file of one folder that matches the pattern ("*.pnz"); does not descend
// into sub-folders and reports nothing.
void DeleteMatchingFiles(const char* folder, const char* pattern);

// The temporary folder joined with "morvane", into the caller's buffer. False when the
// temporary folder cannot be read or the result does not fit.
bool CompanyTempFolder(char* buffer, size_t capacity);
