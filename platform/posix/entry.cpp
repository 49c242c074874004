// Linux start-up: the shell has already split the command line.
#include "platform/cmdline.h"
#include "platform/entry.h"

int main(int argc, char** argv) {
  kestrova::platform::SetCommandLineArguments(std::vector<std::string>(argv, argv + argc));
  return kestrova::ProgramEntry();
}
