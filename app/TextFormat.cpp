#include "app/TextFormat.h"

#include <stdlib.h>
#include <string.h>

namespace {

const char* Argument(char digit, const char* const args[4]) {
  const char* arg = args[digit - '1'];
  return arg ? arg : "";
}

bool IsPlaceholderDigit(char c) { return c >= '1' && c <= '4'; }

// Walks the format once; with a null output it only measures. Returns the length written.
size_t Expand(const char* format, const char* const args[4], char* out) {
  size_t length = 0;
  for (const char* p = format; *p; ++p) {
    if (*p != '%') {
      if (out) out[length] = *p;
      ++length;
      continue;
    }
    char next = p[1];
    if (next == '\0') break;  // a trailing percent sign stands for nothing
    ++p;
    if (IsPlaceholderDigit(next)) {
      const char* arg = Argument(next, args);
      size_t argLength = strlen(arg);
      if (out) memcpy(out + length, arg, argLength);
      length += argLength;
    } else {
      if (out) out[length] = next;
      ++length;
    }
  }
  return length;
}

}  // namespace

char* FormatText(const char* format, const char* arg1, const char* arg2, const char* arg3,
                 const char* arg4) {
  const char* const args[4] = {arg1, arg2, arg3, arg4};
  if (!format) format = "";
  size_t length = Expand(format, args, nullptr);
  char* result = static_cast<char*>(malloc(length + 1));
  if (!result) return nullptr;
  Expand(format, args, result);
  result[length] = '\0';
  return result;
}

bool FormatTextInto(char* buffer, size_t capacity, const char* format, const char* arg1,
                    const char* arg2, const char* arg3, const char* arg4) {
  if (capacity == 0) return false;
  char* text = FormatText(format, arg1, arg2, arg3, arg4);
  if (!text) {
    buffer[0] = '\0';
    return false;
  }
  bool whole = CopyText(buffer, capacity, text);
  ReleaseText(text);
  return whole;
}

char* DuplicateText(const char* text) {
  if (!text) return nullptr;
  size_t size = strlen(text) + 1;
  char* copy = static_cast<char*>(malloc(size));
  if (copy) memcpy(copy, text, size);
  return copy;
}

void ReleaseText(char* text) { free(text); }

bool JoinPath(char* buffer, const char* name, size_t capacity) {
  size_t length = strlen(buffer);
  bool separator = length > 0 && buffer[length - 1] != '\\';
  size_t nameLength = strlen(name);
  if (length + (separator ? 1 : 0) + nameLength + 1 > capacity) return false;
  if (separator) buffer[length++] = '\\';
  memcpy(buffer + length, name, nameLength + 1);
  return true;
}

bool CopyText(char* buffer, size_t capacity, const char* text) {
  if (capacity == 0) return false;
  size_t length = strlen(text);
  bool whole = length < capacity;
  if (!whole) length = capacity - 1;
  memcpy(buffer, text, length);
  buffer[length] = '\0';
  return whole;
}

bool EndsWithNoCase(const char* text, const char* suffix) {
  size_t length = strlen(text), suffixLength = strlen(suffix);
  if (suffixLength > length) return false;
  const char* tail = text + length - suffixLength;
  for (size_t i = 0; i < suffixLength; ++i) {
    char a = tail[i], b = suffix[i];
    if (a >= 'A' && a <= 'Z') a = char(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = char(b - 'A' + 'a');
    if (a != b) return false;
  }
  return true;
}
