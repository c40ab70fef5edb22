#include "app/RunSetup.h"

#include <stdlib.h>
#include <string.h>

#include "app/BackgroundWindow.h"
#include "app/PathUtil.h"
#include "app/ScopedWin.h"
#include "app/TextTable.h"
#include "install/PayloadExtractor.h"
#include "registry/RegistryKey.h"
#include "registry/RegistryPatch.h"
#include "resources/resource.h"
#include "wizard/InstallOptionsPage.h"

namespace {

// The background picture: a bitmap named like the program with ".bmp" in place of ".exe";
// a program whose name does not end in ".exe" has none.
HBITMAP LoadPictureBesideProgram() {
  char path[kPathCapacity];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return nullptr;
  if (length < 5 || !EndsWithNoCase(path, ".exe")) return nullptr;
  memcpy(path + length - 4, ".bmp", 4);
  return LoadBitmapFile(path);
}

enum class TempSpace { Unknown, Enough, TooLittle };

// Checks the free space of the temporary folder with a fresh temporary file there; the
// file itself is left for the side picture. Unknown when there is no temporary folder or file.
TempSpace CheckTempSpace(char* tempFile) {
  char folder[kPathCapacity];
  DWORD length = GetTempPathA(sizeof folder, folder);
  if (length == 0 || length >= sizeof folder) return TempSpace::Unknown;
  if (!GetTempFileNameA(folder, "PD", 0, tempFile)) return TempSpace::Unknown;
  return HasEnoughSpace(FreeDiskSpace(tempFile), RequiredSpace(true)) ? TempSpace::Enough
                                                                       : TempSpace::TooLittle;
}

void Report(const SetupContext& context, const char* caption, bool failed) {
  char message[kMessageCapacity];
  if (failed) {
    FormatTextInto(message, sizeof message, Texts.installationFailed, context.failureReason);
  } else {
    CopyText(message, sizeof message, Texts.installationComplete);
  }
  MessageBoxA(context.backgroundWindow, message, caption,
              failed ? MB_ICONERROR : MB_ICONINFORMATION);
}

// Applies the product's registry patch script: the resource of type "CUSTOM" numbered
// index x 1000 + 1004, as a text. A product without that resource has nothing to apply.
bool ApplyProductScript(uint32_t index, const char* shortName) {
  WORD number = WORD(index * kProductResourceStride + kRegistryPatchResource);
  HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(number), PAYLOAD_RESOURCE_TYPE);
  if (!resource) return true;
  DWORD size = SizeofResource(nullptr, resource);
  HGLOBAL loaded = LoadResource(nullptr, resource);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  if (!bytes) return false;
  char* text = static_cast<char*>(malloc(size_t(size) + 1));
  if (!text) return false;
  memcpy(text, bytes, size);
  text[size] = '\0';
  bool applied = RegistryPatch::Apply(shortName, text);
  free(text);
  return applied;
}

// Until the wizard asks, every selected product goes to the folder that the install options
// page proposes.
void AssignInstallPaths(SetupContext& context) {
  for (uint32_t i = 0; i < context.productCount; ++i) {
    if (!context.selected[i]) continue;
    ProductEntry& product = context.products[i];
    ReleaseText(product.installPath);
    product.installPath = static_cast<char*>(calloc(kPathCapacity, 1));
    if (product.installPath) DefaultInstallPath(product.installPath, kPathCapacity);
  }
}

}  // namespace

HBITMAP LoadSidePicture(const char* file) {
  PayloadExtractor extractor;
  HBITMAP picture = extractor.ExtractResource(kSidePictureResource, file) ? LoadBitmapFile(file)
                                                                          : nullptr;
  DeleteFileA(file);
  return picture;
}

int InstallProgressRange(uint32_t selectedProducts) { return int(selectedProducts) * 5 + 4; }

bool RunInstallActions(SetupContext& context, ProgressDialog& progress) {
  CopyText(context.failureReason, sizeof context.failureReason, Texts.unknownError);

  // Files; the reason of a failure is already set.
  if (!CopyProductFiles(context, progress)) return false;

  // Page choices.
  progress.Step();
  progress.SetStatus(Texts.modifyingRegistry);

  // Search file type and distributor.
  for (uint32_t i = 0; i < context.productCount; ++i) {
    if (!context.selected[i]) continue;
    RegistryKey key(context.products[i].shortName);
    if (key.Open(AreaProduct, nullptr, false)) key.WriteString("Distributor", "Morvane");
  }

  // Registry patch.
  progress.Step();
  progress.SetStatus(Texts.modifyingRegistry);
  for (uint32_t i = 0; i < context.productCount; ++i) {
    if (context.selected[i] && !ApplyProductScript(i, context.products[i].shortName)) {
      CopyText(context.failureReason, sizeof context.failureReason, Texts.cannotUpdateGrammars);
      // The rollback of a failed installation goes here.
      return false;
    }
  }

  // Shell integration.
  progress.Step();
  progress.SetStatus(Texts.addingToFindMenu);

  // Completion.
  progress.Step();
  progress.SetStatus(Texts.setupComplete);
  return true;
}

int RunSetup(SetupContext& context) {
  // Preparation.
  char caption[kPathCapacity];
  FormatTextInto(caption, sizeof caption, Texts.installationCaption, context.setupName);
  context.backgroundPicture = nullptr;

  char tempFolder[kPathCapacity];
  DWORD length = GetTempPathA(sizeof tempFolder, tempFolder);
  if (length != 0 && length < sizeof tempFolder) CreatePath(tempFolder);

  context.backgroundPicture = LoadPictureBesideProgram();

  char tempFile[MAX_PATH];
  ScopedGdiObject<HBITMAP> sidePicture;  // for the wizard's pages
  TempSpace space = CheckTempSpace(tempFile);
  if (space == TempSpace::Enough) sidePicture.Reset(LoadSidePicture(tempFile));  // deletes the file
  if (space == TempSpace::TooLittle) {
    DeleteFileA(tempFile);
    MessageBoxA(nullptr, Texts.insufficientTempSpace, caption, MB_ICONERROR);
  } else {
    BackgroundWindow background;
    if (background.Create(caption)) {
      context.backgroundWindow = background.Handle();
      ShowWindow(background.Handle(), SW_SHOWMAXIMIZED);
      UpdateWindow(background.Handle());

      // Installation actions.
      AssignInstallPaths(context);
      ProgressDialog progress;
      progress.Create(background.Handle());
      progress.SetRange(InstallProgressRange(SelectedProductCount()));
      bool succeeded = RunInstallActions(context, progress);
      progress.Destroy();
      Report(context, caption, !succeeded);
    }
    // Clean-up: the window goes here, the pictures after it.
    context.backgroundWindow = nullptr;
  }

  if (context.backgroundPicture) DeleteObject(context.backgroundPicture);
  context.backgroundPicture = nullptr;
  return 0;
}
