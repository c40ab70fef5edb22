#include "install/PayloadExtractor.h"

#include <string.h>

#include "app/PathUtil.h"
#include "app/ScopedWin.h"
#include "app/TextTable.h"
#include "resources/resource.h"

#if defined(__i386__)
static_assert(sizeof(OFSTRUCT) == 136, "OFSTRUCT is 136 bytes on 32-bit Windows");
#endif

namespace {

// Expansion streams through one buffer of this size.
constexpr LONG kExpansionBuffer = 1024;

// A temporary file "PD*.tmp" made by the system in the temporary folder, deleted when this
// goes unless it could not be made.
class TemporaryFile {
 public:
  TemporaryFile() {
    char folder[kPathCapacity];
    DWORD length = GetTempPathA(sizeof folder, folder);
    made_ = length != 0 && length < sizeof folder && GetTempFileNameA(folder, "PD", 0, path_);
  }
  ~TemporaryFile() {
    if (made_) DeleteFileA(path_);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  bool Made() const { return made_; }
  const char* Path() const { return path_; }

 private:
  char path_[MAX_PATH];
  bool made_;
};

}  // namespace

bool PayloadExtractor::ExtractResource(int identifier, const char* destination) {
  HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(identifier & 0xFFFF), PAYLOAD_RESOURCE_TYPE);
  if (!found) return false;
  HGLOBAL loaded = LoadResource(nullptr, found);
  if (!loaded) return false;
  const void* bytes = LockResource(loaded);
  DWORD size = SizeofResource(nullptr, found);
  TemporaryFile temporary;
  bool written = false;
  if (bytes && temporary.Made()) {
    // Straight from the mapped resource, in one write.
    ScopedFile file(CreateFileA(temporary.Path(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD count = 0;
    written = file.IsValid() && WriteFile(file.Get(), bytes, size, &count, nullptr) && count == size;
  }
  FreeResource(loaded);
  return written && Expand(temporary.Path(), destination);
}

bool PayloadExtractor::Expand(const char* source, const char* destination) {
  OFSTRUCT opened;
  memset(&opened, 0, sizeof opened);
  opened.cBytes = sizeof opened;
  INT packed = LZOpenFileA(const_cast<char*>(source), &opened, OF_READ);
  if (packed < 0) return false;

  // What the packed file says it expands to: a packed file cut short expands without error,
  // only to fewer bytes.
  LONG expected = LZSeek(packed, 0, 2);
  bool failed = expected < 0 || LZSeek(packed, 0, 0) != 0;
  if (!failed) {
    ScopedFile file(CreateFileA(destination, GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid()) {
      failed = true;
    } else {
      // Creating over an existing file leaves ERROR_ALREADY_EXISTS behind; only what the
      // expansion itself leaves counts.
      SetLastError(ERROR_SUCCESS);
      char buffer[kExpansionBuffer];
      LONG total = 0;
      for (;;) {
        INT count = LZRead(packed, buffer, kExpansionBuffer);
        DWORD written = 0;
        if (count < 0 || !WriteFile(file.Get(), buffer, DWORD(count), &written, nullptr) ||
            written != DWORD(count)) {
          failed = true;
          break;
        }
        total += count;
        if (count < kExpansionBuffer) break;
      }
      if (total != expected) failed = true;
      file.Close();
      if (failed) DeleteFileA(destination);
    }
  }
  LZClose(packed);
  return !failed && GetLastError() == ERROR_SUCCESS;
}

const char* ProductFilePath(const SetupContext& context, uint32_t index, const char* fileName) {
  static char path[kPathCapacity];
  const char* folder = index < context.productCount ? context.products[index].installPath : nullptr;
  if (!folder || !CopyText(path, sizeof path, folder) || !JoinPath(path, fileName, sizeof path)) {
    path[0] = '\0';
  }
  return path;
}

namespace {

// Installs one file; false with failureReason set.
bool CopyProductFile(SetupContext& context, ProgressDialog& progress, PayloadExtractor& extractor,
                     int resource, const char* statusName, const char* destination,
                     const char* failureName, bool onlyWhenAbsent) {
  char status[kMessageCapacity];
  FormatTextInto(status, sizeof status, Texts.decompressing, statusName);
  progress.Step();
  progress.SetStatus(status);
  if (onlyWhenAbsent && destination) {
    // A shell extension already there stays, of whatever version, even while it is loaded.
    ScopedFile existing(CreateFileA(destination, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (existing.IsValid()) return true;
  }
  if (destination && destination[0] != '\0' && extractor.ExtractResource(resource, destination)) {
    return true;
  }
  FormatTextInto(context.failureReason, sizeof context.failureReason, Texts.cannotCopy,
                 failureName ? failureName : "");
  return false;
}

}  // namespace

bool CopyProductFiles(SetupContext& context, ProgressDialog& progress) {
  for (uint32_t k = 0; k < context.productCount; ++k) {
    if (!context.selected[k]) continue;
    const ProductEntry& product = context.products[k];
    if (!product.installPath || !CreatePath(product.installPath)) {
      CopyText(context.failureReason, sizeof context.failureReason, Texts.cannotCreateDestination);
      return false;
    }
    PayloadExtractor extractor;
    int offset = int(k) * kProductResourceStride;
    // In the order of installation; ProductFilePath's buffer serves one row at a time.
    if (!CopyProductFile(context, progress, extractor, kShellExtensionResource, "NetPindle.dll",
                         context.extensionDllPath, "NetPindle.dll", true) ||
        !CopyProductFile(context, progress, extractor, kProgramResource + offset,
                         product.programFile, ProductFilePath(context, k, product.programFile),
                         product.programFile, false) ||
        !CopyProductFile(context, progress, extractor, kHelpResource + offset, product.helpFile,
                         ProductFilePath(context, k, product.helpFile), product.helpFile, false) ||
        !CopyProductFile(context, progress, extractor, kHelpContentsResource + offset,
                         product.helpContentsFile,
                         ProductFilePath(context, k, product.helpContentsFile),
                         product.helpContentsFile, false) ||
        !CopyProductFile(context, progress, extractor, kUninstallerResource + offset, "uninstall",
                         product.uninstallerPath, product.uninstallerPath, false)) {
      return false;
    }
  }
  return true;
}
