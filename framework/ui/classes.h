// Components (owner, name, owned components in order, Loaded), the persistent objects that the
// layout reader creates by class name.
#pragma once
#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/gfx/bitmap.h"
#include "framework/gfx/graphics.h"
#include "framework/rtl/classes.h"
#include "framework/rtl/persistent.h"

namespace kestrova::ui {

class TComponent;
using TNotifyEvent = std::function<void(TComponent* sender)>;

using rtl::TPropertyInfo;
using rtl::TPropertyKind;
using rtl::TPropertyTable;

// Table entries for the toolkit's classes: notification events besides the lower layers' kinds.
template <class T>
struct Published : gfx::Published<T> {
  static TPropertyInfo Event(std::string name, std::function<void(T&, TNotifyEvent)> set) {
    return gfx::Published<T>::template TypedEvent<TNotifyEvent>(std::move(name), std::move(set));
  }
};

enum TComponentStateFlag : std::uint8_t { csLoading = 1, csReading = 2, csDestroying = 4, csDesigning = 8 };

// A component with an owner is owned by it: the owner frees its components, newest first, when
// it goes. A component without an owner belongs to whoever created it.
class TComponent : public rtl::TPersistent {
 public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  const char* ClassName() const override { return "TComponent"; }
  static const TPropertyTable& ClassProperties();
  const TPropertyTable& Properties() const override { return ClassProperties(); }

  TComponent* Owner() const { return FOwner; }
  const std::string& Name() const { return FName; }
  // A name must be an identifier, unique among the owner's components (letter case ignored).
  virtual void SetName(const std::string& name);
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int index) const { return FComponents.at(static_cast<std::size_t>(index)); }
  TComponent* FindComponent(const std::string& name) const;
  int ComponentIndex() const;

  std::uint8_t ComponentState() const { return FState; }
  bool Loading() const { return (FState & csLoading) != 0; }
  bool Designing() const { return (FState & csDesigning) != 0; }
  void SetLoading(bool loading);
  // After every stored property of the whole layout was applied.
  virtual void Loaded();

  // The layout reader hands each object nested in this one's text here.
  virtual void ReadChild(TComponent& child);
  // Event handlers a layout may name ("OnClick = btGoClick"), published by the root. A handler of
  // another event type names it: PublishMethod<TMouseEvent>("pnlMouseDown", ...).
  void PublishMethod(const std::string& name, TNotifyEvent handler) { PublishMethod<TNotifyEvent>(name, std::move(handler)); }
  template <class E>
  void PublishMethod(const std::string& name, std::type_identity_t<E> handler) {
    PublishAny(name, std::any(std::move(handler)));
  }
  // The handler, whatever its type; null when none has that name.
  const std::any* FindMethod(const std::string& name) const;

  int Tag = 0;

 protected:
  // Told when a component it refers to goes away.
  virtual void Notification(TComponent& component, bool removing);

 private:
  void Remove(TComponent* component);
  void PublishAny(const std::string& name, std::any handler);

  TComponent* FOwner;
  std::string FName;
  std::vector<TComponent*> FComponents;
  std::uint8_t FState = 0;
  std::map<std::string, std::any> FMethods;
};

// Classes the layout reader can create by name.
using TComponentFactory = std::function<TComponent*(TComponent* owner)>;
void RegisterComponentClass(const std::string& className, TComponentFactory factory);
const TComponentFactory* FindComponentClass(const std::string& className);

template <class T>
void RegisterClass(const char* className) {
  RegisterComponentClass(className, [](TComponent* owner) -> TComponent* { return new T(owner); });
}

}  // namespace kestrova::ui
