// The application object: title, start-up and the standard display of an escaped exception.
#pragma once
#include <exception>
#include <string>

namespace kestrova::ui {

class TApplication {
 public:
  std::string Title;

  void Initialize();
  // Runs the message loop until the main form closes; without a main form there is nothing to run.
  void Run();
  // The standard display of an error nobody handled: its message in a box titled with the title.
  void ShowException(const std::exception& e);
  bool Initialized() const { return FInitialized; }

 private:
  bool FInitialized = false;
};

TApplication& Application();

}  // namespace kestrova::ui
