// The layout reader: DFM-style text ("object frmMain: TfrmMain ... end") applied to a root
// component. Nested objects are created by class name and owned by the root; each property is
// applied in the order the text stores it; component references are resolved at the end; then
// every loaded component's Loaded runs, the root first.
#pragma once
#include <stdexcept>
#include <string>

namespace kestrova::ui {

class TComponent;

class ELayoutError : public std::runtime_error {
 public:
  ELayoutError(int line, const std::string& message);
  int Line() const { return FLine; }

 private:
  int FLine;
};

void ReadLayout(const std::string& text, TComponent& root);

}  // namespace kestrova::ui
