// Helpers of the Windows tests of the installation actions: a progress dialog whose status
// line is recorded, a setup context whose files go to a scratch folder, the payload files
// as the build made them, and a count of the temporary files of the extraction.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <stdlib.h>

#include <string>
#include <utility>
#include <vector>

#include "app/ProgressDialog.h"
#include "app/SetupContext.h"
#include "resources/resource.h"
#include "tests/support/WineTest.h"

// A real progress dialog, ranged for the context's selected products, whose status control
// is subclassed to record every text it receives with the bar's position at that moment.
class RecordedProgress {
 public:
  explicit RecordedProgress(int range) {
    InitCommonControls();
    dialog.Create(nullptr);
    dialog.SetRange(range);
    active_ = this;
    HWND status = GetDlgItem(dialog.Handle(), IDC_PROGRESS_STATUS);
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(status, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Record)));
  }
  ~RecordedProgress() {
    dialog.Destroy();
    active_ = nullptr;
  }
  RecordedProgress(const RecordedProgress&) = delete;
  RecordedProgress& operator=(const RecordedProgress&) = delete;
  bool Ready() const { return dialog.Handle() != nullptr && original_ != nullptr; }

  ProgressDialog dialog;
  std::vector<std::pair<int, std::string>> log;  // (bar position, status text)

 private:
  static LRESULT CALLBACK Record(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT) {
      int position = int(SendDlgItemMessageA(active_->dialog.Handle(), IDC_PROGRESS_BAR,
                                             PBM_GETPOS, 0, 0));
      active_->log.emplace_back(position, reinterpret_cast<const char*>(lParam));
    }
    return CallWindowProcA(active_->original_, window, message, wParam, lParam);
  }
  static inline RecordedProgress* active_ = nullptr;
  WNDPROC original_ = nullptr;
};

// The product row of the shipped setup.
inline ProductRow WebPindleRow() {
  return {"WebPindle",     "Web",           "WebPindle",     "WebPindle.exe",
          "WebPindle.hlp", "WebPindle.cnt", "WebPindle.gid", "WebPindleUninstall.exe",
          "&Web Pages...", "Find web pages"};
}

// Replaces an owned text of the context.
inline void ReplaceText(char*& field, const std::string& text) {
  ReleaseText(field);
  field = DuplicateText(text.c_str());
}

// Gives a product an install folder, as the install sequence does (a path buffer).
inline void GiveInstallPath(SetupContext& context, uint32_t index, const std::string& folder) {
  ReleaseText(context.products[index].installPath);
  char* path = static_cast<char*>(calloc(kPathCapacity, 1));
  lstrcpynA(path, folder.c_str(), int(kPathCapacity));
  context.products[index].installPath = path;
}

// A context of `rows` copies of the shipped row, with the shell extension and every
// uninstaller in the scratch folder instead of the System and Windows folders; only
// `selected` products are selected, each with the install folder scratch\product<k>.
class ScratchContext {
 public:
  ScratchContext(const ScratchFolder& scratch, uint32_t rows, std::vector<uint32_t> selected)
      : rows_(rows, WebPindleRow()),
        context(rows_[0].displayName, rows_[0].keyName, rows_.data(), rows, 7579202, 15204285) {
    ReplaceText(context.extensionDllPath, scratch / "system\\NetPindle.dll");
    CreateDirectoryA((scratch / "system").c_str(), nullptr);
    CreateDirectoryA((scratch / "windows").c_str(), nullptr);
    for (uint32_t k = 0; k < rows; ++k) {
      context.selected[k] = 0;
      ReplaceText(context.products[k].uninstallerPath,
                  scratch / ("windows\\Uninstall" + std::to_string(k) + ".exe"));
    }
    for (uint32_t k : selected) {
      context.selected[k] = 1;
      GiveInstallPath(context, k, scratch / ("product" + std::to_string(k)));
    }
  }

 private:
  std::vector<ProductRow> rows_;

 public:
  SetupContext context;
};

