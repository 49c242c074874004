// Objects with published properties: one table per class, in stored order, that the layout reader,
// the localizer and any writer walk. A property of the object kind hands out an object of its own
// (a font, a pen, a string list, a bitmap), whose table a dotted path follows ("Font.Name").
#pragma once
#include <any>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kestrova::rtl {

class TPersistent;

enum class TPropertyKind : std::uint8_t {
  pkText,         // a string
  pkInteger,      // a number, or one of Idents by name
  pkBoolean,
  pkEnumeration,  // by its index in Names
  pkSet,          // a bit mask over Names
  pkColor,        // a number or a colour's name
  pkLines,        // a list of strings ("Items.Strings = (...)")
  pkBinary,       // bytes ("Glyph.Data = {...}")
  pkEvent,        // a handler the root publishes
  pkComponent,    // a reference to another component, by name
  pkObject,       // an object owned by this one, with properties of its own
};

// One published property. Ordinal kinds go through GetOrdinal/SetOrdinal; text and binary through
// GetText/SetText; an object property hands out its object, a component reference takes one
// (false when it is not of the property's class).
struct TPropertyInfo {
  std::string Name;
  TPropertyKind Kind = TPropertyKind::pkInteger;
  std::vector<std::string> Names;
  std::vector<std::pair<std::string, std::int64_t>> Idents;
  std::function<std::string(TPersistent&)> GetText;
  std::function<void(TPersistent&, const std::string&)> SetText;
  std::function<std::int64_t(TPersistent&)> GetOrdinal;
  std::function<void(TPersistent&, std::int64_t)> SetOrdinal;
  std::function<std::vector<std::string>(TPersistent&)> GetLines;
  std::function<void(TPersistent&, const std::vector<std::string>&)> SetLines;
  // False when the handler is not of the event's type.
  std::function<bool(TPersistent&, const std::any&)> SetEvent;
  std::function<TPersistent*(TPersistent&)> GetObject;
  std::function<bool(TPersistent&, TPersistent*)> SetObject;
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

class TPersistent {
 public:
  virtual ~TPersistent() = default;
  virtual const char* ClassName() const { return "TPersistent"; }
  static const TPropertyTable& ClassProperties();
  virtual const TPropertyTable& Properties() const { return ClassProperties(); }
};

// Table entries, one line each.
template <class T>
struct Published {
  static T& As(TPersistent& c) { return static_cast<T&>(c); }
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
    p.GetText = [get](TPersistent& c) { return get(As(c)); };
    p.SetText = [set](TPersistent& c, const std::string& v) { set(As(c), v); };
    p.HasDefault = true;
    p.DefaultText = std::move(def);
    return p;
  }
  static TPropertyInfo Ordinal(TPropertyKind kind, std::string name, std::function<std::int64_t(T&)> get,
                               std::function<void(T&, std::int64_t)> set, std::vector<std::string> names = {}) {
    TPropertyInfo p = Info(std::move(name), kind, std::move(names));
    p.GetOrdinal = [get](TPersistent& c) { return get(As(c)); };
    p.SetOrdinal = [set](TPersistent& c, std::int64_t v) { set(As(c), v); };
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
  static TPropertyInfo Lines(std::string name, std::function<std::vector<std::string>(T&)> get,
                             std::function<void(T&, const std::vector<std::string>&)> set) {
    TPropertyInfo p = Info(std::move(name), TPropertyKind::pkLines);
    p.GetLines = [get](TPersistent& c) { return get(As(c)); };
    p.SetLines = [set](TPersistent& c, const std::vector<std::string>& v) { set(As(c), v); };
    return p;
  }
  static TPropertyInfo Binary(std::string name, std::function<std::string(T&)> get, std::function<void(T&, const std::string&)> set) {
    TPropertyInfo p = Info(std::move(name), TPropertyKind::pkBinary);
    p.GetText = [get](TPersistent& c) { return get(As(c)); };
    p.SetText = [set](TPersistent& c, const std::string& v) { set(As(c), v); };
    return p;
  }
  // An object of this one's own (never null), reached by a dotted path.
  template <class U>
  static TPropertyInfo Object(std::string name, std::function<U*(T&)> get) {
    TPropertyInfo p = Info(std::move(name), TPropertyKind::pkObject);
    p.GetObject = [get](TPersistent& c) -> TPersistent* { return get(As(c)); };
    return p;
  }
  // A reference to another object of class U, or null.
  template <class U>
  static TPropertyInfo Reference(std::string name, std::function<U*(T&)> get, std::function<void(T&, U*)> set) {
    TPropertyInfo p = Info(std::move(name), TPropertyKind::pkComponent);
    p.GetObject = [get](TPersistent& c) -> TPersistent* { return get(As(c)); };
    p.SetObject = [set](TPersistent& c, TPersistent* v) {
      U* u = dynamic_cast<U*>(v);
      if (v && !u) return false;
      set(As(c), u);
      return true;
    };
    return p;
  }
  // An event: a layout may only name a handler of its type E.
  template <class E>
  static TPropertyInfo TypedEvent(std::string name, std::function<void(T&, E)> set) {
    TPropertyInfo p = Info(std::move(name), TPropertyKind::pkEvent);
    p.SetEvent = [set](TPersistent& c, const std::any& handler) {
      const E* e = std::any_cast<E>(&handler);
      if (!e) return false;
      set(As(c), *e);
      return true;
    };
    return p;
  }
  static TPropertyInfo WithDefault(TPropertyInfo p, std::int64_t def) {
    p.HasDefault = true;
    p.DefaultOrdinal = def;
    return p;
  }
  // Integer values that may be written by name as well.
  static TPropertyInfo WithIdents(TPropertyInfo p, std::vector<std::pair<std::string, std::int64_t>> idents) {
    p.Idents = std::move(idents);
    return p;
  }
};

}  // namespace kestrova::rtl
