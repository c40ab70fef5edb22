// Placeholder formatting and path joining over plain 8-bit texts. Needs no Windows.
#pragma once
#include <stddef.h>

// Capacity of every path buffer of the setup, terminator included.
constexpr size_t kPathCapacity = 260;
// Capacity of every message buffer of the setup, terminator included.
constexpr size_t kMessageCapacity = 1024;

// Replaces %1 to %4 by the whole text of that argument; a percent sign before any
// other character stands for that character alone ("%%" gives "%"); a percent sign
// at the very end is dropped. A missing argument counts as the empty text.
// Returns a new text that the caller releases with ReleaseText, or null when memory runs out.
char* FormatText(const char* format, const char* arg1 = nullptr, const char* arg2 = nullptr,
                 const char* arg3 = nullptr, const char* arg4 = nullptr);

// FormatText into the caller's buffer of `capacity` bytes. A result that does not fit is cut
// at capacity - 1 characters; the buffer always ends with a NUL. False when it was cut or
// memory ran out (the buffer then holds what fitted, or the empty text).
bool FormatTextInto(char* buffer, size_t capacity, const char* format, const char* arg1 = nullptr,
                    const char* arg2 = nullptr, const char* arg3 = nullptr,
                    const char* arg4 = nullptr);

// A new copy of the text (null stays null), released with ReleaseText.
char* DuplicateText(const char* text);

// Releases a text made by FormatText, DuplicateText or the text table.
void ReleaseText(char* text);

// Appends a backslash unless the buffer already ends with one (or is empty), then the name.
// False, with the buffer unchanged, when the result would not fit `capacity` bytes.
bool JoinPath(char* buffer, const char* name, size_t capacity = kPathCapacity);

// Copies the text into a buffer of `capacity` bytes, cut to fit; false when it was cut.
bool CopyText(char* buffer, size_t capacity, const char* text);

// True when `text` ends with `suffix`, ASCII letters compared without regard to case.
bool EndsWithNoCase(const char* text, const char* suffix);
