// Benchmark driver under Wine: times RegistryPatch::Apply over a generated script against
// Wine's own "reg import" of the equivalent .reg file, in one prefix and one run, and checks
// that both leave the same values.
//   regpatch_bench_wine <script.regpatch> <file.reg>
//   regpatch_bench_wine --apply <script.regpatch>    the timed child process
//   regpatch_bench_wine --nothing                    a child that only starts and ends
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <map>
#include <string>

#include "registry/RegistryPatch.h"

namespace {

const char kBenchKey[] = "Software\\Morvane\\NetPindle\\CurrentVersion\\Bench";
constexpr int kRounds = 3;

char* ReadText(const char* path) {
  HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  DWORD size = GetFileSize(file, nullptr);
  char* text = static_cast<char*>(malloc(size + 1));
  DWORD got = 0;
  if (text && (!ReadFile(file, text, size, &got, nullptr) || got != size)) {
    free(text);
    text = nullptr;
  }
  CloseHandle(file);
  if (text) text[size] = '\0';
  return text;
}

double Now() {
  LARGE_INTEGER count, frequency;
  QueryPerformanceCounter(&count);
  QueryPerformanceFrequency(&frequency);
  return double(count.QuadPart) / double(frequency.QuadPart);
}

// Runs a command line to its end; its exit code, or -1 when it cannot start.
long RunProcess(const std::string& commandLine) {
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process;
  std::string line = commandLine;
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return -1;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return long(code);
}

void RemoveBenchKeys() { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Morvane"); }

// Every value below the benchmark key: "Part00\Value00000" -> type and bytes.
void Snapshot(HKEY key, const std::string& path, std::map<std::string, std::string>* values) {
  char name[256];
  BYTE data[4096];
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
    if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
    (*values)[path + "\\" + name] =
        std::string(1, char(type)) + std::string(reinterpret_cast<char*>(data), dataSize);
  }
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name;
    if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    HKEY sub;
    if (RegOpenKeyExA(key, name, 0, KEY_READ, &sub) == ERROR_SUCCESS) {
      Snapshot(sub, path + "\\" + name, values);
      RegCloseKey(sub);
    }
  }
}

std::map<std::string, std::string> BenchValues() {
  std::map<std::string, std::string> values;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kBenchKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
    Snapshot(key, "", &values);
    RegCloseKey(key);
  }
  return values;
}

// The best of kRounds timings of a step, each on a registry without the benchmark's keys.
template <typename Step>
double Best(Step step, bool* ok) {
  double best = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    RemoveBenchKeys();
    double start = Now();
    *ok = step() && *ok;
    double seconds = Now() - start;
    if (seconds < best) best = seconds;
  }
  return best;
}

// The platform's floor: as many bare RegSetValueExA calls of a REG_DWORD into one key.
bool SetValuesDirectly(size_t count) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kBenchKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  bool ok = true;
  for (size_t i = 0; i < count && ok; ++i) {
    char name[32];
    wsprintfA(name, "Value%05u", unsigned(i));
    DWORD value = DWORD(i);
    ok = RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<BYTE*>(&value), sizeof value) ==
         ERROR_SUCCESS;
  }
  RegCloseKey(key);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && strcmp(argv[1], "--nothing") == 0) return 0;
  if (argc == 3 && strcmp(argv[1], "--apply") == 0) {
    char* text = ReadText(argv[2]);
    bool applied = text && RegistryPatch::Apply("Web", text);
    free(text);
    return applied ? 0 : 1;
  }
  if (argc != 3) {
    fprintf(stderr, "usage: regpatch_bench_wine <script.regpatch> <file.reg>\n");
    return 2;
  }
  const char* scriptPath = argv[1];
  const char* regPath = argv[2];
  char* text = ReadText(scriptPath);
  if (!text) {
    fprintf(stderr, "cannot read %s\n", scriptPath);
    return 2;
  }
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, sizeof self);
  std::string applyCommand = std::string("\"") + self + "\" --apply \"" + scriptPath + "\"";
  std::string nothingCommand = std::string("\"") + self + "\" --nothing";
  std::string importCommand = std::string("reg.exe import \"") + regPath + "\"";

  bool applied = true, imported = true, started = true;
  double inProcess = Best([&] { return RegistryPatch::Apply("Web", text); }, &applied);
  double ownProcess = Best([&] { return RunProcess(applyCommand) == 0; }, &applied);
  std::map<std::string, std::string> byApply = BenchValues();
  double regImport = Best([&] { return RunProcess(importCommand) == 0; }, &imported);
  std::map<std::string, std::string> byImport = BenchValues();
  double startOnly = Best([&] { return RunProcess(nothingCommand) == 0; }, &started);
  double floor = Best([&] { return SetValuesDirectly(byApply.size()); }, &started);
  RemoveBenchKeys();
  free(text);

  printf("%zu values in %s (best of %d runs each)\n", byApply.size(), scriptPath, kRounds);
  printf("  %-40s %8.3f s\n", "RegistryPatch::Apply, in this process", inProcess);
  printf("  %-40s %8.3f s\n", "RegistryPatch::Apply, in a new process", ownProcess);
  printf("  %-40s %8.3f s\n", "reg import, in a new process", regImport);
  printf("  %-40s %8.3f s\n", "(a new process that does nothing)", startOnly);
  printf("  %-40s %8.3f s\n", "(as many bare RegSetValueExA calls)", floor);
  printf("  reg import / Apply, both in a new process: %.2f\n", regImport / ownProcess);
  printf("  same values from both: %s\n", byApply == byImport ? "yes" : "NO");
  if (!applied || !imported || !started) {
    printf("  a step failed: apply %s, import %s\n", applied ? "ok" : "FAILED",
           imported ? "ok" : "FAILED");
    return 1;
  }
  return byApply == byImport && !byApply.empty() ? 0 : 1;
}
