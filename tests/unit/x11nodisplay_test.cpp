// Without an X display the program's window cannot appear: a clear error, never a crash.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>

#include "framework/ui/dialogs.h"
#include "framework/ui/forms.h"

namespace kestrova::ui {
namespace {

TEST(X11NoDisplay, ShowingAFormIsAClearErrorAndTheLoopStillWaitsBounded) {
  const char* was = std::getenv("DISPLAY");
  const std::optional<std::string> saved = was ? std::optional<std::string>(was) : std::nullopt;
  setenv("DISPLAY", ":999999", 1);  // no such server
  Application().SetHost(&platform::SystemWindowHost());
  {
    TForm form(nullptr);
    try {
      form.Show();
      ADD_FAILURE() << "no error";
    } catch (const std::runtime_error& e) {
      EXPECT_EQ(std::string(e.what()), "Cannot open the X display \":999999\": the window needs a graphical desktop");
    }
    EXPECT_FALSE(form.IsShown());
  }
  Application().ProcessMessages();
  const auto start = std::chrono::steady_clock::now();
  Application().Host().WaitMessage(30);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(25));

  // An error shown then cannot have the toolkit's box either: it goes to standard error.
  RegisterToolkitDialogs();
  ::testing::internal::CaptureStderr();
  Application().ShowException(std::runtime_error("The scan failed"));
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("The scan failed."), std::string::npos);
  platform::SetDesktopDialogs(nullptr);

  Application().SetHost(nullptr);
  if (saved) setenv("DISPLAY", saved->c_str(), 1);
  else unsetenv("DISPLAY");
}

}  // namespace
}  // namespace kestrova::ui
