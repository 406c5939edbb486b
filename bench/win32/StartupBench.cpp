// Start-up time of kelpo.exe next to the minimal Win32 program with the same
// native controls (MinimalWindow.cpp), measured in the same run under the same
// system: from the creation of the process to its visible main window, and to the
// moment that window first answers a message (the message loop runs).
//
//   kelpo_startup_bench RUNS MINIMAL_EXE [LABEL=]KELPO_EXE...
//
// Each program is copied with the files beside it (kelpo.exe's images folder)
// into a fresh folder, as a user unzips it, and started RUNS times, the programs
// taking turns so that a slow moment of the machine hits all of them; one start
// of each before the measured ones warms the system's caches. Several builds of
// kelpo.exe can be compared in one run (for example as built and as shipped,
// without debug information), each named by its LABEL. Prints every time, the
// medians and the fastest starts, and each kelpo.exe's ratios to the minimal
// program.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) * 1000.0 / frequency;
}

struct Search {
  DWORD Pid;
  const char* ClassName;
  HWND Found;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  char name[64] = {};
  if (pid != search->Pid || !IsWindowVisible(hwnd) || !GetClassNameA(hwnd, name, sizeof(name)) ||
      std::strcmp(name, search->ClassName) != 0)
    return TRUE;
  search->Found = hwnd;
  return FALSE;
}

struct Program {
  std::string Label;
  std::string Exe;        // the copy that is started
  std::string ClassName;  // of its main window
  std::vector<double> Visible;
  std::vector<double> Answering;
};

// One start: the times to the visible main window and to its first answer, in ms;
// false when the window did not come within 30 s.
bool StartOnce(const Program& program, double& visible, double& answering) {
  const std::string folder = program.Exe.substr(0, program.Exe.find_last_of('\\'));
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  std::string commandLine = "\"" + program.Exe + "\"";
  const double started = Now();
  if (!CreateProcessA(program.Exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &startup, &info))
    return false;
  Search search{info.dwProcessId, program.ClassName.c_str(), nullptr};
  while (!search.Found && Now() - started < 30000) {
    EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
    if (!search.Found) Sleep(1);
  }
  visible = Now() - started;
  DWORD_PTR result = 0;
  const bool answered =
      search.Found && SendMessageTimeoutA(search.Found, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 30000, &result) != 0;
  answering = Now() - started;
  TerminateProcess(info.hProcess, 0);
  WaitForSingleObject(info.hProcess, 30000);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  return answered;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Copies `exe` and, when it is there, the images folder beside it into a new
// folder; returns the copy's path or "".
std::string Install(const std::string& exe, const std::string& label) {
  char temp[MAX_PATH];
  GetTempPathA(sizeof(temp), temp);
  const std::string folder = std::string(temp) + "kelpo-startup-" + label + "-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string name = exe.substr(exe.find_last_of("\\/") + 1);
  const std::string copy = folder + "\\" + name;
  if (!CopyFileA(exe.c_str(), copy.c_str(), FALSE)) return {};
  const std::string images = exe.substr(0, exe.find_last_of("\\/") + 1) + "images";
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((images + "\\*.bmp").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    CreateDirectoryA((folder + "\\images").c_str(), nullptr);
    do CopyFileA((images + "\\" + found.cFileName).c_str(), (folder + "\\images\\" + found.cFileName).c_str(), FALSE);
    while (FindNextFileA(find, &found));
    FindClose(find);
  }
  return copy;
}

void Uninstall(const std::string& exe) {
  const std::string folder = exe.substr(0, exe.find_last_of('\\'));
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((folder + "\\images\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do DeleteFileA((folder + "\\images\\" + found.cFileName).c_str());
    while (FindNextFileA(find, &found));
    FindClose(find);
  }
  RemoveDirectoryA((folder + "\\images").c_str());
  DeleteFileA((folder + "\\settings.ini").c_str());
  DeleteFileA(exe.c_str());
  RemoveDirectoryA(folder.c_str());
}

// A Unix path as the build system passes it, as a Windows path (Z: is the root).
std::string WindowsPath(std::string path) {
  if (path.empty() || path[0] != '/') return path;
  std::replace(path.begin(), path.end(), '/', '\\');
  return "Z:" + path;
}

double Fastest(const std::vector<double>& values) {
  return *std::min_element(values.begin(), values.end());
}

void PrintTimes(const char* what, const std::vector<double>& times) {
  std::printf("  %-10s", what);
  for (double time : times) std::printf(" %6.1f", time);
  std::printf("   median %6.1f, fastest %6.1f ms\n", Median(times), Fastest(times));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: kelpo_startup_bench RUNS MINIMAL_EXE [LABEL=]KELPO_EXE...\n");
    return 2;
  }
  const int runs = std::max(1, std::atoi(argv[1]));
  std::vector<Program> programs = {{"minimal", Install(WindowsPath(argv[2]), "minimal"), "MinimalWindow", {}, {}}};
  for (int i = 3; i < argc; ++i) {
    std::string argument = argv[i];
    std::string label = "kelpo.exe";
    if (const auto equals = argument.find('='); equals != std::string::npos) {
      label = argument.substr(0, equals);
      argument.erase(0, equals + 1);
    }
    programs.push_back({label, Install(WindowsPath(argument), "kelpo" + std::to_string(i)), "TMainForm", {}, {}});
  }
  int status = 0;
  for (const Program& program : programs)
    if (program.Exe.empty()) {
      std::fprintf(stderr, "kelpo_startup_bench: cannot copy %s into a temporary folder\n", program.Label.c_str());
      status = 1;
    }
  for (int run = -1; run < runs && status == 0; ++run) {
    for (Program& program : programs) {
      double visible = 0;
      double answering = 0;
      if (!StartOnce(program, visible, answering)) {
        std::fprintf(stderr, "kelpo_startup_bench: %s showed no window of class %s\n", program.Label.c_str(),
                     program.ClassName.c_str());
        status = 1;
        break;
      }
      if (run < 0) continue;  // the warm-up start
      program.Visible.push_back(visible);
      program.Answering.push_back(answering);
    }
  }
  if (status == 0) {
    std::printf("Start-up, %d runs each, ms from process creation:\n", runs);
    for (const Program& program : programs) {
      std::printf("%s\n", program.Label.c_str());
      PrintTimes("visible", program.Visible);
      PrintTimes("answering", program.Answering);
    }
    // On a busy machine the fastest start is the one least disturbed by others.
    const Program& minimal = programs[0];
    for (std::size_t i = 1; i < programs.size(); ++i) {
      const Program& kelpo = programs[i];
      std::printf("%s / minimal: medians %.2f to the visible window, %.2f to the first answer; fastest %.2f, %.2f\n",
                  kelpo.Label.c_str(), Median(kelpo.Visible) / Median(minimal.Visible),
                  Median(kelpo.Answering) / Median(minimal.Answering),
                  Fastest(kelpo.Visible) / Fastest(minimal.Visible),
                  Fastest(kelpo.Answering) / Fastest(minimal.Answering));
    }
  }
  for (const Program& program : programs)
    if (!program.Exe.empty()) Uninstall(program.Exe);
  return status;
}
