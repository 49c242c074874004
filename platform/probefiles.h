// What the blocked-launch probe needs of the file system and of processes: a folder to put the
// probe program in, its size and content, and a process started from it with a bounded wait.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

namespace kestrova::platform {

inline constexpr int kCsidlCommonAppData = 0x23;

class IHeldFile {
 public:
  virtual ~IHeldFile() = default;
};

class IRunningProcess {
 public:
  virtual ~IRunningProcess() = default;
  // True when the process ended within timeoutMs.
  virtual bool WaitFor(unsigned timeoutMs) = 0;
  virtual bool ExitCode(std::int32_t& code) = 0;
  // Ends the process and waits a moment for it to be gone.
  virtual void Terminate() = 0;
};

class IProbeSystem {
 public:
  virtual ~IProbeSystem() = default;
  virtual char Separator() = 0;
  // The shell's folder for the CSIDL followed by the separator, or "" when the shell has none.
  virtual std::string SpecialFolder(int csidl) = 0;
  // Creates the last level of the folder; false when the folder is not safe to run programs
  // from (Linux: not a directory of ours, or writable by others).
  virtual bool CreateProbeFolder(const std::string& folder) = 0;
  // The size of the first file found by that name, any attributes; -1 when none.
  virtual std::int64_t FileSizeByName(const std::string& path) = 0;
  virtual bool ReadWholeFile(const std::string& path, std::string& data) = 0;
  virtual bool WriteWholeFile(const std::string& path, const std::string& data) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
  // Keeps the file open so that nobody can change or replace it until released; null when the
  // file cannot be held. Its content as held is returned through data.
  virtual std::unique_ptr<IHeldFile> HoldAgainstWriting(const std::string& path, std::string& data) = 0;
  // Starts the program with the path as program name and sole argument; null when it fails.
  virtual std::unique_ptr<IRunningProcess> Start(const std::string& path) = 0;
};

IProbeSystem& SystemProbeSystem();

}  // namespace kestrova::platform
