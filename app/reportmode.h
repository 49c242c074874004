// The command-line report mode: one scan, at most one CSV line appended to a report file, and
// an exit code that carries the scan's answer.
#pragma once
#include <string>
#include <vector>

namespace kestrova::app {

inline constexpr char kIncorrectCommandLine[] = "Incorrect command line using.";
// How long a run keeps trying to get at a report file that other machines hold right now.
inline constexpr unsigned kReportRetryMilliseconds = 5000;

// The computer name, read anew on every call; empty when the platform cannot tell.
std::string GetComputerNameText();

// Appends line and CR LF to the end of fileName as one locked write; never reports failure.
void AppendReportLine(const std::string& fileName, const std::string& line);

// "1" or "0", the computer name and the local date and time, joined by ", ".
std::string BuildReportLine(bool found, const std::string& computerName, const std::string& dateTime);

// The file a target names: a folder target gets the computer name and ".csv" appended.
std::string ReportFileName(const std::string& target, const std::string& computerName);

// args as the platform split the command line (args[1] is "/c"); answers the exit code.
int RunReportMode(const std::vector<std::string>& args);

}  // namespace kestrova::app
