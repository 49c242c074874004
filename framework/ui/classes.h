// Components (owner, name, owned components in order, Loaded) and the one published-property
// table per class that the layout reader, the localizer and any writer use.
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

namespace kestrova::ui {

class TComponent;
using TNotifyEvent = std::function<void(TComponent* sender)>;

enum class TPropertyKind : std::uint8_t {
  pkText, pkInteger, pkBoolean, pkEnumeration, pkSet, pkColor, pkFont, pkStringList, pkPicture, pkEvent, pkComponent
};

// One published property. Ordinal kinds (integer, boolean, enumeration, set, colour) go through
// GetOrdinal/SetOrdinal (an enumeration by its index in Names, a set as a bit mask over Names);
// the object kinds hand out the object itself.
struct TPropertyInfo {
  std::string Name;
  TPropertyKind Kind = TPropertyKind::pkInteger;
  std::vector<std::string> Names;
  std::function<std::string(TComponent&)> GetText;
  std::function<void(TComponent&, const std::string&)> SetText;
  std::function<std::int64_t(TComponent&)> GetOrdinal;
  std::function<void(TComponent&, std::int64_t)> SetOrdinal;
  std::function<gfx::TFont*(TComponent&)> GetFont;
  std::function<rtl::TStringList*(TComponent&)> GetStrings;
  std::function<gfx::TBitmap*(TComponent&)> GetPicture;
  // False when the handler is not of the event's type.
  std::function<bool(TComponent&, const std::any&)> SetEvent;
  std::function<TComponent*(TComponent&)> GetComponent;
  std::function<void(TComponent&, TComponent*)> SetComponent;
  // Not written when the value equals it; absent: always written.
  bool HasDefault = false;
  std::int64_t DefaultOrdinal = 0;
  std::string DefaultText;
};

// A class's own properties in their stored order, after those of its base class.
class TPropertyTable {
 public:
  TPropertyTable(const TPropertyTable* base, std::vector<TPropertyInfo> own);
  // Case-insensitive; the class's own entry wins over a base entry of the same name.
  const TPropertyInfo* Find(const std::string& name) const;
  // Every property in stored order (base first); a redeclared one keeps the base's place.
  std::vector<const TPropertyInfo*> All() const;

 private:
  const TPropertyTable* FBase;
  std::vector<TPropertyInfo> FOwn;
};

// Table entries, one line each.
template <class T>
struct Published {
  static T& As(TComponent& c) { return static_cast<T&>(c); }
  static TPropertyInfo Info(std::string name, TPropertyKind kind, std::vector<std::string> names = {}) {
    TPropertyInfo p;
    p.Name = std::move(name);
    p.Kind = kind;
    p.Names = std::move(names);
    return p;
  }

  static TPropertyInfo Text(std::string name, std::function<std::string(T&)> get, std::function<void(T&, const std::string&)> set,
                            std::string def = {}) {
    TPropertyInfo p = Info(std::move(name), TPropertyKind::pkText);
    p.GetText = [get](TComponent& c) { return get(As(c)); };
    p.SetText = [set](TComponent& c, const std::string& v) { set(As(c), v); };
    p.HasDefault = true;
    p.DefaultText = std::move(def);
    return p;
  }
  static TPropertyInfo Ordinal(TPropertyKind kind, std::string name, std::function<std::int64_t(T&)> get,
                               std::function<void(T&, std::int64_t)> set, std::vector<std::string> names = {}) {
    TPropertyInfo p = Info(std::move(name), kind, std::move(names));
    p.GetOrdinal = [get](TComponent& c) { return get(As(c)); };
    p.SetOrdinal = [set](TComponent& c, std::int64_t v) { set(As(c), v); };
    return p;
  }
  static TPropertyInfo Integer(std::string name, std::function<std::int64_t(T&)> get, std::function<void(T&, std::int64_t)> set) {
    return Ordinal(TPropertyKind::pkInteger, std::move(name), std::move(get), std::move(set));
  }
  static TPropertyInfo Integer(std::string name, std::function<std::int64_t(T&)> get, std::function<void(T&, std::int64_t)> set,
                               std::int64_t def) {
    return WithDefault(Integer(std::move(name), std::move(get), std::move(set)), def);
  }
  static TPropertyInfo Boolean(std::string name, std::function<bool(T&)> get, std::function<void(T&, bool)> set, bool def) {
    return WithDefault(Ordinal(TPropertyKind::pkBoolean, std::move(name), [get](T& t) -> std::int64_t { return get(t) ? 1 : 0; },
                               [set](T& t, std::int64_t v) { set(t, v != 0); }),
                       def ? 1 : 0);
  }
  template <class E>
  static TPropertyInfo Enumeration(std::string name, std::vector<std::string> names, std::function<E(T&)> get,
                                   std::function<void(T&, E)> set, E def) {
    return WithDefault(Ordinal(TPropertyKind::pkEnumeration, std::move(name), [get](T& t) -> std::int64_t { return static_cast<std::int64_t>(get(t)); },
                               [set](T& t, std::int64_t v) { set(t, static_cast<E>(v)); }, std::move(names)),
                       static_cast<std::int64_t>(def));
  }
  static TPropertyInfo Set(std::string name, std::vector<std::string> names, std::function<std::int64_t(T&)> get,
                           std::function<void(T&, std::int64_t)> set, std::int64_t def) {
    return WithDefault(Ordinal(TPropertyKind::pkSet, std::move(name), std::move(get), std::move(set), std::move(names)), def);
  }
  static TPropertyInfo Color(std::string name, std::function<gfx::TColor(T&)> get, std::function<void(T&, gfx::TColor)> set,
                             gfx::TColor def) {
    return WithDefault(Ordinal(TPropertyKind::pkColor, std::move(name), [get](T& t) -> std::int64_t { return get(t); },
                               [set](T& t, std::int64_t v) { set(t, static_cast<gfx::TColor>(v)); }),
                       def);
  }
  static TPropertyInfo Font(std::string name, std::function<gfx::TFont*(T&)> get) {
    TPropertyInfo p = Info(std::move(name), TPropertyKind::pkFont);
    p.GetFont = [get](TComponent& c) { return get(As(c)); };
    return p;
  }
  static TPropertyInfo Strings(std::string name, std::function<rtl::TStringList*(T&)> get) {
    TPropertyInfo p = Info(std::move(name), TPropertyKind::pkStringList);
    p.GetStrings = [get](TComponent& c) { return get(As(c)); };
    return p;
  }
  static TPropertyInfo Picture(std::string name, std::function<gfx::TBitmap*(T&)> get) {
    TPropertyInfo p = Info(std::move(name), TPropertyKind::pkPicture);
    p.GetPicture = [get](TComponent& c) { return get(As(c)); };
    return p;
  }
  static TPropertyInfo Event(std::string name, std::function<void(T&, TNotifyEvent)> set) { return TypedEvent<TNotifyEvent>(std::move(name), std::move(set)); }
  // An event of another type (mouse, key, ...): a layout may only name a handler of that type.
  template <class E>
  static TPropertyInfo TypedEvent(std::string name, std::function<void(T&, E)> set) {
    TPropertyInfo p = Info(std::move(name), TPropertyKind::pkEvent);
    p.SetEvent = [set](TComponent& c, const std::any& handler) {
      const E* e = std::any_cast<E>(&handler);
      if (!e) return false;
      set(As(c), *e);
      return true;
    };
    return p;
  }
  static TPropertyInfo Component(std::string name, std::function<TComponent*(T&)> get, std::function<void(T&, TComponent*)> set) {
    TPropertyInfo p = Info(std::move(name), TPropertyKind::pkComponent);
    p.GetComponent = [get](TComponent& c) { return get(As(c)); };
    p.SetComponent = [set](TComponent& c, TComponent* v) { set(As(c), v); };
    return p;
  }
  static TPropertyInfo WithDefault(TPropertyInfo p, std::int64_t def) {
    p.HasDefault = true;
    p.DefaultOrdinal = def;
    return p;
  }
};

enum TComponentStateFlag : std::uint8_t { csLoading = 1, csReading = 2, csDestroying = 4, csDesigning = 8 };

// A component with an owner is owned by it: the owner frees its components, newest first, when
// it goes. A component without an owner belongs to whoever created it.
class TComponent {
 public:
  explicit TComponent(TComponent* owner);
  virtual ~TComponent();
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  virtual const char* ClassName() const { return "TComponent"; }
  static const TPropertyTable& ClassProperties();
  virtual const TPropertyTable& Properties() const { return ClassProperties(); }

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
