#include "app/SetupContext.h"

#include <stdlib.h>
#include <string.h>

SetupContext* CurrentSetupContext = nullptr;

#if defined(__i386__)
static_assert(sizeof(OSVERSIONINFOA) == 148, "OSVERSIONINFOA is 148 bytes on 32-bit Windows");
#endif

namespace {

const char kEmptyText[] = "";
const char kExtensionDllName[] = "NetPindle.dll";

char* FolderJoinedWith(const char* folder, const char* name) {
  char path[kPathCapacity];
  if (!CopyText(path, sizeof path, folder) || !JoinPath(path, name, sizeof path)) return nullptr;
  return DuplicateText(path);
}

const char* OrEmpty(const char* text) { return text ? text : kEmptyText; }

const ProductEntry* Product(uint32_t index) {
  SetupContext* context = CurrentSetupContext;
  if (!context || index >= context->productCount) return nullptr;
  return &context->products[index];
}

void ReleaseProduct(ProductEntry& p) {
  char* fields[] = {p.displayName, p.shortName,  p.keyName,         p.programFile,
                    p.helpFile,    p.helpContentsFile, p.helpIndexFile, p.uninstallerPath,
                    p.menuText,    p.helpText,   p.installPath};
  for (char* field : fields) ReleaseText(field);
}

}  // namespace

SetupContext::SetupContext(const char* setupName, const char* folderName, const ProductRow* rows,
                           uint32_t rowCount, uint32_t gradientColour, uint32_t pageColour)
    : extensionDllPath(nullptr),
      setupName(nullptr),
      folderName(nullptr),
      productCount(0),
      products(nullptr),
      selected(nullptr),
      backgroundWindow(nullptr),
      backgroundPicture(nullptr),
      gradientColour(gradientColour),
      pageColour(pageColour),
      failureReason() {
  CurrentSetupContext = this;

  char folder[kPathCapacity];
  UINT length = GetSystemDirectoryA(folder, sizeof folder);
  if (length > 0 && length < sizeof folder) extensionDllPath = FolderJoinedWith(folder, kExtensionDllName);

  products = static_cast<ProductEntry*>(calloc(rowCount, sizeof(ProductEntry)));
  selected = static_cast<uint8_t*>(calloc(rowCount, 1));
  if (products && selected) productCount = rowCount;

  for (uint32_t i = 0; i < productCount; ++i) {
    const ProductRow& row = rows[i];
    ProductEntry& product = products[i];
    length = GetWindowsDirectoryA(folder, sizeof folder);
    if (length == 0 || length >= sizeof folder) folder[0] = '\0';
    product.displayName = DuplicateText(row.displayName);
    product.shortName = DuplicateText(row.shortName);
    product.keyName = DuplicateText(row.keyName);
    product.programFile = DuplicateText(row.programFile);
    product.helpFile = DuplicateText(row.helpFile);
    product.helpContentsFile = DuplicateText(row.helpContentsFile);
    product.helpIndexFile = DuplicateText(row.helpIndexFile);
    product.uninstallerPath = FolderJoinedWith(folder, row.uninstallerFile);
    product.menuText = DuplicateText(row.menuText);
    product.helpText = DuplicateText(row.helpText);
    product.installPath = nullptr;
    selected[i] = 1;
  }

  this->setupName = DuplicateText(setupName);
  this->folderName = DuplicateText(folderName);
}

SetupContext::~SetupContext() {
  ReleaseText(extensionDllPath);
  for (uint32_t i = 0; i < productCount; ++i) ReleaseProduct(products[i]);
  free(products);
  free(selected);
  ReleaseText(setupName);
  ReleaseText(folderName);
  if (CurrentSetupContext == this) CurrentSetupContext = nullptr;
}

const char* SetupName() {
  return CurrentSetupContext ? OrEmpty(CurrentSetupContext->setupName) : kEmptyText;
}

const char* SetupFolderName() {
  return CurrentSetupContext ? OrEmpty(CurrentSetupContext->folderName) : kEmptyText;
}

const char* ProductDisplayName(uint32_t index) {
  const ProductEntry* product = Product(index);
  return product ? OrEmpty(product->displayName) : kEmptyText;
}

const char* ProductShortName(uint32_t index) {
  const ProductEntry* product = Product(index);
  return product ? OrEmpty(product->shortName) : kEmptyText;
}

const char* ProductKeyName(uint32_t index) {
  const ProductEntry* product = Product(index);
  return product ? OrEmpty(product->keyName) : kEmptyText;
}

uint32_t SelectedProductCount() {
  SetupContext* context = CurrentSetupContext;
  if (!context) return 0;
  uint32_t count = 0;
  for (uint32_t i = 0; i < context->productCount; ++i) {
    if (context->selected[i]) ++count;
  }
  return count;
}

bool IsWindows95Family() {
  OSVERSIONINFOA version;
  memset(&version, 0, sizeof version);
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExA(&version);
  return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

uint32_t RequiredSpace(bool temporaryFiles) {
  if (temporaryFiles) {
    uint32_t count = CurrentSetupContext ? CurrentSetupContext->productCount : 0;
    return (count * 600 + 150) * 1024;
  }
  return SelectedProductCount() * 1536000;
}

uint32_t FreeDiskSpace(const char* path) {
  size_t length = strlen(path);
  char root[4] = {path[0], ':', '\\', '\0'};
  const char* rootPath = nullptr;
  if (length > 2 && path[1] == ':') {
    rootPath = root;
  } else if (length > 2 && path[0] == '\\' && path[1] == '\\') {
    return 0xFFFFFFFFu;
  }
  DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
  if (!GetDiskFreeSpaceA(rootPath, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                         &totalClusters)) {
    return 0;
  }
  double bytes = double(freeClusters) * double(sectorsPerCluster) * double(bytesPerSector);
  return bytes > 4294967295.0 ? 0xFFFFFFFFu : uint32_t(bytes);
}
