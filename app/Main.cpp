// The entry point of setup.exe: builds the product row and the setup context, runs the
// setup, and always ends with exit code 0. The text table is built before it runs and
// released after it returns.
#include <windows.h>
#include <commctrl.h>

#include "app/Gradient.h"
#include "app/RunSetup.h"
#include "app/SetupContext.h"
#include "app/TextTable.h"

namespace {

// The one product of this setup. The display name, menu text and help text are user
// visible and come from the text table when the row is built.
const ProductRow kProductRow = {
    nullptr,                   // displayName: "WebPindle"
    "Web",                     // shortName
    "WebPindle",               // keyName
    "WebPindle.exe",           // programFile
    "WebPindle.hlp",           // helpFile
    "WebPindle.cnt",           // helpContentsFile
    "WebPindle.gid",           // helpIndexFile
    "WebPindleUninstall.exe",  // uninstaller
    nullptr,                   // menuText: "&Web Pages..."
    nullptr,                   // helpText: "Find web pages"
};

// The two colours of the look.
constexpr uint32_t kGradientColour = 7579202;   // red 0x42, green 0xA6, blue 0x73
constexpr uint32_t kPageColour = 15204285;      // red 0xBD, green 0xFF, blue 0xE7
static_assert(kGradientColour == MakeColour(0x42, 0xA6, 0x73), "gradient colour");
static_assert(kPageColour == MakeColour(0xBD, 0xFF, 0xE7), "page colour");

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  ProductRow row = kProductRow;
  row.displayName = Texts.productName;
  row.menuText = Texts.productMenuText;
  row.helpText = Texts.productHelpText;

  InitCommonControls();

  int result;
  {
    SetupContext context(row.displayName, row.keyName, &row, 1, kGradientColour, kPageColour);
    result = RunSetup(context);
  }
  return result;
}
