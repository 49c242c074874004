// The command-line report mode: one scan, at most one CSV line appended to a report file, and
// an exit code that carries the scan's answer.
#pragma once
#include <string>
#include <vector>

#include "detect/scandriver.h"

namespace kestrova::app {

inline constexpr char kIncorrectCommandLine[] = "Incorrect command line using.";
// How long a run keeps trying to get at a report file that other machines hold right now.
inline constexpr unsigned kReportRetryMilliseconds = 5000;

// The computer name, read anew on every call; empty when the platform cannot tell.
std::string GetComputerNameText();

// Appends line and CR LF to the end of fileName as one locked write; never reports failure.
void AppendReportLine(const std::string& fileName, const std::string& line);

// The result digit and exit code: 1 found, 0 clean, 2 nothing found but the scan could not
// look everywhere.
char ResultDigit(detect::TScanVerdict verdict);
int ExitCodeOf(detect::TScanVerdict verdict);

// The result digit, the computer name and the local date and time, joined by ", ".
std::string BuildReportLine(detect::TScanVerdict verdict, const std::string& computerName,
                            const std::string& dateTime);

// The file a target names: a folder target gets the computer name and ".csv" appended.
std::string ReportFileName(const std::string& target, const std::string& computerName);

// args as the platform split the command line (args[1] is "/c"); answers the exit code.
int RunReportMode(const std::vector<std::string>& args);

}  // namespace kestrova::app
