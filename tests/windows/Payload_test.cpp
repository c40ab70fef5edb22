// The payload as the build made it: every packed file and a varied corpus expand exactly
// through LZ32, and the payload's programs do what the setup relies on.
#include <windows.h>
#include <gtest/gtest.h>
#include <lzexpand.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "tests/support/InstallTest.h"
#include "tests/support/SzddCorpus.h"
#include "tests/support/SzddReference.h"
#include "tools/szdd/SzddPacker.h"

namespace {

const std::string kFiles = PINDLE_PAYLOAD_FILES;

// Expands a file through LZ32 as the setup does, 1024 bytes at a time; false on an error.
bool Lz32Expand(const std::string& path, std::vector<uint8_t>* expanded) {
  OFSTRUCT opened = {};
  opened.cBytes = sizeof opened;
  INT file = LZOpenFileA(const_cast<char*>(path.c_str()), &opened, OF_READ);
  if (file < 0) return false;
  expanded->clear();
  char buffer[1024];
  INT count;
  while ((count = LZRead(file, buffer, sizeof buffer)) > 0) {
    expanded->insert(expanded->end(), buffer, buffer + count);
    if (count < INT(sizeof buffer)) break;
  }
  LZClose(file);
  return count >= 0;
}

TEST(Lz32, ExpandsEveryPackedPayloadFile) {
  // "original|packed" pairs, separated by '*'.
  std::string pairs = PINDLE_PAYLOAD_PAIRS;
  int checked = 0;
  for (size_t start = 0; start < pairs.size();) {
    size_t end = pairs.find('*', start);
    if (end == std::string::npos) end = pairs.size();
    std::string pair = pairs.substr(start, end - start);
    start = end + 1;
    size_t bar = pair.find('|');
    ASSERT_NE(bar, std::string::npos) << pair;
    std::string original = pair.substr(0, bar), packed = pair.substr(bar + 1);
    std::vector<uint8_t> expected = ReadFileBytes(HostPath(original)), expanded;
    ASSERT_FALSE(expected.empty()) << original;
    EXPECT_TRUE(Lz32Expand(HostPath(packed), &expanded)) << packed;
    EXPECT_EQ(expanded.size(), expected.size()) << packed;
    EXPECT_TRUE(expanded == expected) << packed << " expands to other bytes";
    ++checked;
  }
  EXPECT_GE(checked, 6) << "the six payload files at least";
}

TEST(Lz32, ExpandsTheCorpusAsPacked) {
  ScratchFolder scratch("pindle-lz32-corpus");
  char self[MAX_PATH];
  ASSERT_NE(GetModuleFileNameA(nullptr, self, sizeof self), 0u);
  std::vector<uint8_t> program = ReadFileBytes(self);  // a Windows program: this one
  ASSERT_FALSE(program.empty());
  std::vector<SzddCorpusCase> corpus = SzddCorpus(program);
  for (size_t i = 0; i < corpus.size(); ++i) {
    const SzddCorpusCase& c = corpus[i];
    VectorSink packed;
    ASSERT_TRUE(PackSzdd(c.bytes.data(), c.bytes.size(), packed)) << c.name;
    std::string path = scratch / ("case" + std::to_string(i) + ".sz_");
    ASSERT_TRUE(WriteFileBytes(path, packed.bytes.data(), packed.bytes.size())) << c.name;
    std::vector<uint8_t> expanded;
    EXPECT_TRUE(Lz32Expand(path, &expanded)) << c.name;
    EXPECT_EQ(expanded.size(), c.bytes.size()) << c.name;
    EXPECT_TRUE(expanded == c.bytes) << c.name << ": LZ32 expands other bytes";
  }
}

// A program of the payload, started with arguments, until it is ended.
class Started {
 public:
  Started(const std::string& program, const std::string& arguments) {
    std::string line = "\"" + program + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    started_ = CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &process_);
  }
  ~Started() {
    if (!started_) return;
    if (WaitForSingleObject(process_.hProcess, 10000) != WAIT_OBJECT_0) {
      TerminateProcess(process_.hProcess, 1);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;

  // The process's first visible top-level window of that class and title, waited for.
  HWND Window(const char* className, const char* title) {
    struct Search {
      DWORD process;
      const char* className;
      const char* title;
      HWND found;
    } search = {process_.dwProcessId, className, title, nullptr};
    for (int i = 0; started_ && i < 200 && !search.found; ++i) {
      EnumWindows(
          [](HWND window, LPARAM data) -> BOOL {
            Search* s = reinterpret_cast<Search*>(data);
            DWORD process = 0;
            GetWindowThreadProcessId(window, &process);
            char name[64] = "", text[128] = "";
            GetClassNameA(window, name, sizeof name);
            GetWindowTextA(window, text, sizeof text);
            if (process == s->process && IsWindowVisible(window) &&
                lstrcmpA(name, s->className) == 0 && lstrcmpA(text, s->title) == 0) {
              s->found = window;
              return FALSE;
            }
            return TRUE;
          },
          reinterpret_cast<LPARAM>(&search));
      if (!search.found) Sleep(50);
    }
    return search.found;
  }
  // The exit code once the process has ended; STILL_ACTIVE when it did not end in time.
  DWORD ExitCode() {
    DWORD code = STILL_ACTIVE;
    if (started_ && WaitForSingleObject(process_.hProcess, 10000) == WAIT_OBJECT_0) {
      GetExitCodeProcess(process_.hProcess, &code);
    }
    return code;
  }
  bool ok() const { return started_; }

 private:
  PROCESS_INFORMATION process_ = {};
  BOOL started_ = FALSE;
};

std::string ControlText(HWND window, int id) {
  char text[8192] = "";
  SendDlgItemMessageA(window, id, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

TEST(WebPindleProgram, ShowsTheFileItIsAskedToLoad) {
  ScratchFolder scratch("pindle-webpindle");
  std::string search = scratch / "web pages.wps";
  const char kContents[] = "first line\nsecond line\r\nthird";
  ASSERT_TRUE(WriteFileBytes(search, kContents, sizeof kContents - 1));
  std::string missing = scratch / "missing.wps";
  struct {
    std::string arguments;
    std::string shown;
  } cases[] = {
      {"/load:" + search, "Loaded: " + search + "\r\n\r\nfirst line\r\nsecond line\r\nthird"},
      {"/load:\"" + search + "\"", "Loaded: " + search + "\r\n\r\nfirst line\r\nsecond line\r\nthird"},
      {"/load:" + missing, "Cannot load " + missing},
      {"", "WebPindle\r\n\r\nNo search file was given."},
  };
  for (const auto& c : cases) {
    Started program(HostPath(kFiles + "/WebPindle.exe"), c.arguments);
    ASSERT_TRUE(program.ok()) << c.arguments;
    HWND window = program.Window("WebPindleWindow", "WebPindle");
    ASSERT_NE(window, nullptr) << c.arguments << ": no window titled WebPindle";
    EXPECT_EQ(ControlText(window, 100), c.shown) << c.arguments;
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.ExitCode(), 0u) << c.arguments;
  }

  HMODULE image = LoadLibraryExA(HostPath(kFiles + "/WebPindle.exe").c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(image, nullptr);
  EXPECT_NE(FindResourceA(image, MAKEINTRESOURCEA(10000), RT_GROUP_ICON), nullptr)
      << "the icon that the search files show: ,-10000";
  FreeLibrary(image);
}

TEST(UninstallerProgram, NamesTheInstallFolder) {
  Started program(HostPath(kFiles + "/WebPindleUninstall.exe"), "C:\\Program Files\\Morvane\\WebPindle");
  ASSERT_TRUE(program.ok());
  HWND box = program.Window("#32770", "WebPindle Uninstall");
  ASSERT_NE(box, nullptr);
  char text[512] = "";
  GetDlgItemTextA(box, 65535, text, sizeof text);
  EXPECT_STREQ(text, "Install folder: C:\\Program Files\\Morvane\\WebPindle");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(program.ExitCode(), 0u);
}

// {91171ef1-6713-4e2b-b7e1-4b9f23e13c8c}, the Find menu extension.
const CLSID kFindExtension = {0x91171ef1, 0x6713, 0x4e2b, {0xb7, 0xe1, 0x4b, 0x9f, 0x23, 0xe1, 0x3c, 0x8c}};

TEST(ShellExtension, ServesTheFindExtensionClass) {
  HMODULE library = LoadLibraryA(HostPath(kFiles + "/NetPindle.dll").c_str());
  ASSERT_NE(library, nullptr);
  typedef HRESULT(WINAPI * GetClassObject)(REFCLSID, REFIID, void**);
  typedef HRESULT(WINAPI * CanUnloadNow)();
  auto getClassObject = reinterpret_cast<GetClassObject>(
      reinterpret_cast<void*>(GetProcAddress(library, "DllGetClassObject")));
  auto canUnloadNow = reinterpret_cast<CanUnloadNow>(
      reinterpret_cast<void*>(GetProcAddress(library, "DllCanUnloadNow")));
  ASSERT_NE(getClassObject, nullptr);
  ASSERT_NE(canUnloadNow, nullptr);

  void* sentinel = reinterpret_cast<void*>(0xdeadbeef);
  void* other = sentinel;
  EXPECT_EQ(getClassObject(IID_IShellExtInit, IID_IClassFactory, &other), CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(other, nullptr) << "a refused class leaves no pointer behind";

  IClassFactory* factory = nullptr;
  ASSERT_EQ(getClassObject(kFindExtension, IID_IClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
  IShellExtInit* init = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IShellExtInit, reinterpret_cast<void**>(&init)), S_OK);
  EXPECT_EQ(init->Initialize(nullptr, nullptr, nullptr), S_OK);
  IContextMenu* menu = nullptr;
  EXPECT_EQ(init->QueryInterface(IID_IContextMenu, reinterpret_cast<void**>(&menu)), S_OK);
  EXPECT_EQ(canUnloadNow(), S_FALSE) << "objects alive";
  if (menu) menu->Release();
  init->Release();
  EXPECT_EQ(canUnloadNow(), S_OK);
  factory->LockServer(TRUE);
  EXPECT_EQ(canUnloadNow(), S_FALSE) << "locked";
  factory->LockServer(FALSE);
  factory->Release();
  EXPECT_EQ(canUnloadNow(), S_OK);
  FreeLibrary(library);
}

}  // namespace
