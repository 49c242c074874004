#include "framework/ui/forms.h"

#include "platform/messagebox.h"

namespace kestrova::ui {

void TApplication::Initialize() {
  FInitialized = true;
  if (Title.empty()) Title = "kestrova";
}

void TApplication::Run() {}

void TApplication::ShowException(const std::exception& e) {
  std::string message = e.what();
  if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
  platform::ShowMessageBox(message, Title.empty() ? "kestrova" : Title, platform::MessageIcon::Error);
}

TApplication& Application() {
  static TApplication app;
  return app;
}

}  // namespace kestrova::ui
