// The state of one setup run: the product table, the selection, the shared paths, the
// background window and picture, the colours of the look and the reason of a failure.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "app/TextFormat.h"

// One row of the compiled-in product table (plain literals and text table entries).
struct ProductRow {
  const char* displayName;
  const char* shortName;
  const char* keyName;
  const char* programFile;
  const char* helpFile;
  const char* helpContentsFile;
  const char* helpIndexFile;
  const char* uninstallerFile;   // a file name; the context holds the full path
  const char* menuText;
  const char* helpText;
};

// One product as the context holds it: every field a separately allocated copy.
struct ProductEntry {
  char* displayName;       // "%1" of "%1 Search", shortcut name, uninstall entry
  char* shortName;         // the product's registry name ("Web")
  char* keyName;           // its key under Find extensions and Uninstall ("WebPindle")
  char* programFile;
  char* helpFile;
  char* helpContentsFile;
  char* helpIndexFile;     // built by the help system; only the rollback deletes it
  char* uninstallerPath;   // the Windows folder joined with the uninstaller's file name
  char* menuText;          // its Find menu entry
  char* helpText;          // the help text of that entry
  char* installPath;       // null until the wizard has finished; then kPathCapacity bytes
};

// Payload resources of product k are numbered k * kProductResourceStride + these.
constexpr int kProductResourceStride = 1000;
constexpr int kProgramResource = 1000;
constexpr int kHelpResource = 1001;
constexpr int kHelpContentsResource = 1002;
constexpr int kUninstallerResource = 1003;
constexpr int kRegistryPatchResource = 1004;
constexpr int kShellExtensionResource = 998;
constexpr int kSidePictureResource = 999;

class SetupContext {
 public:
  // Also makes this context the current one.
  SetupContext(const char* setupName, const char* folderName, const ProductRow* rows,
               uint32_t rowCount, uint32_t gradientColour, uint32_t pageColour);
  ~SetupContext();
  SetupContext(const SetupContext&) = delete;
  SetupContext& operator=(const SetupContext&) = delete;

  char* extensionDllPath;        // the System folder joined with "NetPindle.dll"
  char* setupName;               // %1 of the caption and of the pages' texts
  char* folderName;              // last folder of the proposed install path
  uint32_t productCount;
  ProductEntry* products;
  uint8_t* selected;             // one flag per product; all set on construction
  HWND backgroundWindow;
  HBITMAP backgroundPicture;     // the .bmp beside the program; deleted by the install sequence
  uint32_t gradientColour;       // 0x00BBGGRR
  uint32_t pageColour;           // 0x00BBGGRR
  char failureReason[kMessageCapacity];
};

// The context constructed last, while it lives; null before and after.
extern SetupContext* CurrentSetupContext;

// Accessors of the current context. They never fail: without a context, a field or a
// product of that index, they give one shared empty text. Callers never release the result.
const char* SetupName();
const char* SetupFolderName();
const char* ProductDisplayName(uint32_t index);
const char* ProductShortName(uint32_t index);
const char* ProductKeyName(uint32_t index);
// Number of selected products of the current context (0 without one).
uint32_t SelectedProductCount();

// True on the Windows 95 family (platform 1); false on Windows NT and when the version
// cannot be read.
bool IsWindows95Family();

// Bytes the setup needs: for its temporary files ((products * 600 + 150) KiB, every product
// of the table counted) or for the installed files (1,536,000 per selected product).
uint32_t RequiredSpace(bool temporaryFiles);

// Free bytes of the drive of a path: a network path counts as 4294967295, a drive that
// cannot be queried as 0, more than 4294967295 as 4294967295. A path without "X:" at its
// start asks for the current drive.
uint32_t FreeDiskSpace(const char* path);

// Whether free space suffices for what is required (unsigned comparison).
inline bool HasEnoughSpace(uint32_t freeBytes, uint32_t requiredBytes) {
  return freeBytes >= requiredBytes;
}
