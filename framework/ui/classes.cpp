#include "framework/ui/classes.h"

#include <algorithm>
#include <stdexcept>

#include "framework/rtl/sysutils.h"

namespace kestrova::ui {

namespace {
bool IsIdentifier(const std::string& s) {
  if (s.empty()) return false;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
    if (!letter && !(i > 0 && c >= '0' && c <= '9')) return false;
  }
  return true;
}
}  // namespace

TComponent::TComponent(TComponent* owner) : FOwner(owner) {
  if (FOwner) FOwner->FComponents.push_back(this);
}

TComponent::~TComponent() {
  FState |= csDestroying;
  while (!FComponents.empty()) {
    TComponent* last = FComponents.back();
    delete last;  // its destructor takes it out of the list
  }
  if (FOwner) FOwner->Remove(this);
}

void TComponent::Remove(TComponent* component) {
  auto it = std::find(FComponents.begin(), FComponents.end(), component);
  if (it != FComponents.end()) FComponents.erase(it);
  if (FState & csDestroying) return;
  Notification(*component, true);
  for (TComponent* c : FComponents) c->Notification(*component, true);
}

void TComponent::Notification(TComponent&, bool) {}

const TPropertyTable& TComponent::ClassProperties() {
  static const TPropertyTable table(&rtl::TPersistent::ClassProperties(), {
      Published<TComponent>::Text("Name", [](TComponent& c) { return c.Name(); }, [](TComponent& c, const std::string& v) { c.SetName(v); }),
      Published<TComponent>::Integer("Tag", [](TComponent& c) -> std::int64_t { return c.Tag; },
                                     [](TComponent& c, std::int64_t v) { c.Tag = static_cast<int>(v); }, 0),
  });
  return table;
}

void TComponent::SetName(const std::string& name) {
  if (name == FName) return;
  if (!name.empty() && !IsIdentifier(name)) throw std::invalid_argument("'" + name + "' is not a valid component name");
  if (!name.empty() && FOwner) {
    TComponent* other = FOwner->FindComponent(name);
    if (other && other != this) throw std::invalid_argument("A component named " + name + " already exists");
  }
  FName = name;
}

TComponent* TComponent::FindComponent(const std::string& name) const {
  if (name.empty()) return nullptr;
  for (TComponent* c : FComponents)
    if (rtl::SameText(c->FName, name)) return c;
  return nullptr;
}

int TComponent::ComponentIndex() const {
  if (!FOwner) return -1;
  auto it = std::find(FOwner->FComponents.begin(), FOwner->FComponents.end(), this);
  return static_cast<int>(it - FOwner->FComponents.begin());
}

void TComponent::SetLoading(bool loading) {
  if (loading) FState |= csLoading | csReading;
  else FState &= static_cast<std::uint8_t>(~(csLoading | csReading));
}

void TComponent::Loaded() { FState &= static_cast<std::uint8_t>(~(csLoading | csReading)); }

void TComponent::ReadChild(TComponent&) {}

void TComponent::PublishAny(const std::string& name, std::any handler) { FMethods[rtl::UpperCase(name)] = std::move(handler); }

const std::any* TComponent::FindMethod(const std::string& name) const {
  auto it = FMethods.find(rtl::UpperCase(name));
  return it == FMethods.end() ? nullptr : &it->second;
}

namespace {
std::map<std::string, TComponentFactory>& Registry() {
  static std::map<std::string, TComponentFactory> registry;
  return registry;
}
}  // namespace

void RegisterComponentClass(const std::string& className, TComponentFactory factory) {
  Registry()[rtl::UpperCase(className)] = std::move(factory);
}

const TComponentFactory* FindComponentClass(const std::string& className) {
  auto it = Registry().find(rtl::UpperCase(className));
  return it == Registry().end() ? nullptr : &it->second;
}

}  // namespace kestrova::ui
