// Test support: start the real programs, hold files the way other machines would, and answer
// the program's message box, on Linux and on Windows (under Wine).
#pragma once
#include <memory>
#include <string>
#include <vector>

namespace kestrova::testing {

// A program in the same folder as the running test program ("kestrova" -> ".../kestrova.exe").
std::string ProgramBeside(const std::string& name);

// A new empty folder for one test, its name ending with the folder separator.
std::string MakeTempFolder();
char FolderSeparator();
// Marks a folder for removal, with everything in it, when the test program ends.
std::string RememberFolder(std::string folder);

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);
bool FileExists(const std::string& path);
void CreateFolder(const std::string& path);
// Names in a folder (no "." or ".."), sorted.
std::vector<std::string> ListFolder(const std::string& folder);

// True when the tests run under Wine.
bool RunningUnderWine();

class ChildProcess {
 public:
  ChildProcess(const std::string& program, const std::vector<std::string>& args);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const;
  bool Running();
  unsigned Pid() const;
  // The exit code, or -1 when the process was still running after timeoutMs (it is then ended).
  int Wait(unsigned timeoutMs);
  // What the process wrote to standard error (Linux only; Windows GUI programs have none).
  std::string StdErr() const;

  // Windows: waits for a message box of this process, answers it with OK and returns its text
  // (empty when none appeared within timeoutMs). Linux: always empty.
  std::string AnswerMessageBox(unsigned timeoutMs);

 private:
  struct Impl;
  std::unique_ptr<Impl> FImpl;
};

// Holds a file as another machine's run (or a reader such as a spreadsheet) would, until released.
class FileHolder {
 public:
  enum class How { Lock, DenyWrite };
  FileHolder(const std::string& path, How how);
  ~FileHolder();
  FileHolder(const FileHolder&) = delete;
  FileHolder& operator=(const FileHolder&) = delete;
  bool Holding() const;
  void Release();

 private:
  struct Impl;
  std::unique_ptr<Impl> FImpl;
};

void SleepMs(unsigned ms);

}  // namespace kestrova::testing
