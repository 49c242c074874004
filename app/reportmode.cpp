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

char ResultDigit(detect::TScanVerdict verdict) {
  switch (verdict) {
    case detect::TScanVerdict::svFound: return '1';
    case detect::TScanVerdict::svIncomplete: return '2';
    default: return '0';
  }
}

int ExitCodeOf(detect::TScanVerdict verdict) { return ResultDigit(verdict) - '0'; }

std::string BuildReportLine(detect::TScanVerdict verdict, const std::string& computerName,
                            const std::string& dateTime) {
  return std::string(1, ResultDigit(verdict)) + ", " + computerName + ", " + dateTime;
}

std::string ReportFileName(const std::string& target, const std::string& computerName) {
  // The folder's own trailing separator joins it to the file name.
  return platform::IsFolderTarget(target) ? target + computerName + ".csv" : target;
}

int RunReportMode(const std::vector<std::string>& args) {
  // The scan comes first, whatever the rest of the command line says.
  const detect::TScanVerdict verdict = detect::DetectRootkitsVerdict();
  const std::string target = args.size() > 2 ? args[2] : std::string();
  const std::string qualifier = args.size() > 3 ? args[3] : std::string();

  if (target.empty()) {
    // Nothing to write to: the exit code alone carries the answer.
  } else if (platform::IsSwitchTarget(target)) {
    platform::ShowMessageBox(kIncorrectCommandLine, "Kestrova", platform::MessageBoxKind::Error);
  } else if (qualifier != "/i" || verdict != detect::TScanVerdict::svClean) {
    // "/i" leaves out clean machines only: a scan that could not judge is not clean.
    const std::string fileName = ReportFileName(target, GetComputerNameText());
    const std::string line =
        BuildReportLine(verdict, GetComputerNameText(), rtl::DateTimeToStr(platform::CurrentLocalTime()));
    AppendReportLine(fileName, line);
  }
  return ExitCodeOf(verdict);
}

}  // namespace kestrova::app
