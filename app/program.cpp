// The program entry: "/c" as the first argument selects the report mode, anything else the
// interactive mode.
#include <stdexcept>

#include "app/reportmode.h"
#include "app/stages.h"
#include "framework/ui/dialogs.h"
#include "framework/ui/forms.h"
#include "platform/cmdline.h"
#include "platform/entry.h"
#include "platform/windowhost.h"

namespace kestrova {

namespace {

int RunInteractiveMode() {
  ui::TApplication& application = ui::Application();
  application.Initialize();
  application.Title = "Kestrova";
  // The desktop's windows, unless a test build put another host in place.
  if (!application.HasHost()) application.SetHost(&platform::SystemWindowHost());
  // The toolkit's message box and file dialogs for a desktop without its own.
  ui::RegisterToolkitDialogs();
  application.Run();
  return 0;
}

}  // namespace

int ProgramEntry() {
  try {
    app::InstallScanStages();
    const std::vector<std::string>& args = platform::CommandLineArguments();
    if (args.size() > 1 && args[1] == "/c") return app::RunReportMode(args);
    return RunInteractiveMode();
  } catch (const std::exception& e) {
    ui::Application().ShowException(e);
  } catch (...) {
    ui::Application().ShowException(std::runtime_error("Unknown error"));
  }
  return 0;
}

}  // namespace kestrova
