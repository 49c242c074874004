#include "app/reportmode.h"

#include "detect/scandriver.h"
#include "framework/rtl/sysutils.h"
#include "platform/filenames.h"
#include "platform/messagebox.h"
#include "platform/sharedfile.h"
#include "platform/sysinfo.h"

namespace kestrova::app {

std::string GetComputerNameText() { return platform::ComputerName(); }

void AppendReportLine(const std::string& fileName, const std::string& line) {
  // A lost report line must never cost the run its exit code: every failure ends here quietly.
  try {
    if (fileName.empty()) return;
    const std::string bytes = line + "\r\n";
    const std::uint64_t deadline = platform::MonotonicMilliseconds() + kReportRetryMilliseconds;
    unsigned seed = platform::ProcessId();
    while (platform::TryAppendLocked(fileName, bytes) == platform::AppendStatus::Busy &&
           platform::MonotonicMilliseconds() < deadline) {
      // Machines started by one login script at one moment must not retry in lockstep.
      seed = seed * 1103515245u + 12345u;
      platform::SleepMilliseconds(10 + (seed >> 16) % 40);
    }
  } catch (...) {
  }
}

std::string BuildReportLine(bool found, const std::string& computerName, const std::string& dateTime) {
  return std::string(found ? "1" : "0") + ", " + computerName + ", " + dateTime;
}

std::string ReportFileName(const std::string& target, const std::string& computerName) {
  // The folder's own trailing separator joins it to the file name.
  return platform::IsFolderTarget(target) ? target + computerName + ".csv" : target;
}

int RunReportMode(const std::vector<std::string>& args) {
  // The scan comes first, whatever the rest of the command line says.
  const bool found = detect::DetectRootkits();
  const std::string target = args.size() > 2 ? args[2] : std::string();
  const std::string qualifier = args.size() > 3 ? args[3] : std::string();

  if (target.empty()) {
    // Nothing to write to: the exit code alone carries the answer.
  } else if (platform::IsSwitchTarget(target)) {
    platform::ShowMessageBox(kIncorrectCommandLine, "Kestrova", platform::MessageIcon::Error);
  } else if (qualifier != "/i" || found) {
    const std::string fileName = ReportFileName(target, GetComputerNameText());
    const std::string line =
        BuildReportLine(found, GetComputerNameText(), rtl::DateTimeToStr(platform::CurrentLocalTime()));
    AppendReportLine(fileName, line);
  }
  return found ? 1 : 0;
}

}  // namespace kestrova::app
