// Command-line arguments as the platform splits them; argument 0 is the program itself.
#pragma once
#include <string>
#include <vector>

namespace kestrova::platform {

const std::vector<std::string>& CommandLineArguments();
void SetCommandLineArguments(std::vector<std::string> args);

// The Windows rule for one command-line text: blanks and control characters separate
// arguments, double quotes group and are removed, a backslash is an ordinary character
// (so "D:\reports\" keeps its trailing backslash). Portable so that it is tested everywhere.
std::vector<std::string> SplitCommandLine(const char* commandLine);

}  // namespace kestrova::platform
