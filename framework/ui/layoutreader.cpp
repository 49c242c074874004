#include "framework/ui/layoutreader.h"

#include <cctype>
#include <cstdint>
#include <vector>

#include "framework/gfx/bitmap.h"
#include "framework/rtl/sysutils.h"
#include "framework/ui/classes.h"

namespace kestrova::ui {

ELayoutError::ELayoutError(int line, const std::string& message)
    : std::runtime_error("Line " + std::to_string(line) + ": " + message), FLine(line) {}

namespace {

struct Value {
  enum Kind { Integer, String, Ident, Set, List, Binary } K = Integer;
  std::int64_t Int = 0;
  std::string Str;
  std::vector<std::string> Items;
  int Line = 0;
};

struct Fixup {
  TComponent* Component;
  rtl::TPersistent* Object;
  const TPropertyInfo* Property;
  std::string Path;
  std::string Target;
  int Line;
};

class Reader {
 public:
  Reader(const std::string& text, TComponent& root) : FText(text), FRoot(root) {}

  void Run() {
    SkipBlanks();
    FRoot.SetLoading(true);
    FLoaded.push_back(&FRoot);
    ReadObject(&FRoot, nullptr);
    SkipBlanks();
    if (FAt < FText.size()) Fail("text after the last \"end\"");
    for (const Fixup& f : FFixups) {
      TComponent* target = rtl::SameText(f.Target, FRoot.Name()) ? &FRoot : FRoot.FindComponent(f.Target);
      if (!target) throw ELayoutError(f.Line, "no component named " + f.Target + " for " + f.Component->ClassName() + "." + f.Path);
      if (!f.Property->SetObject(*f.Object, target))
        throw ELayoutError(f.Line, f.Target + " is a " + target->ClassName() + ", not what " + f.Component->ClassName() + "." + f.Path + " takes");
    }
    for (TComponent* c : FLoaded) c->Loaded();
  }

 private:
  [[noreturn]] void Fail(const std::string& message) const { throw ELayoutError(FLine, message); }

  void SkipBlanks() {
    while (FAt < FText.size()) {
      const char c = FText[FAt];
      if (c == '\n') ++FLine;
      if (c == '\n' || c == '\r' || c == ' ' || c == '\t') ++FAt;
      else break;
    }
  }

  bool AtIdentStart() const {
    return FAt < FText.size() && (std::isalpha(static_cast<unsigned char>(FText[FAt])) || FText[FAt] == '_');
  }

  std::string Identifier() {
    SkipBlanks();
    if (!AtIdentStart()) Fail("identifier expected, found " + Found());
    const std::size_t start = FAt;
    while (FAt < FText.size() && (std::isalnum(static_cast<unsigned char>(FText[FAt])) || FText[FAt] == '_' || FText[FAt] == '.')) ++FAt;
    return FText.substr(start, FAt - start);
  }

  std::string Found() const {
    if (FAt >= FText.size()) return "end of text";
    std::size_t end = FAt;
    while (end < FText.size() && end - FAt < 12 && FText[end] != '\n' && FText[end] != '\r') ++end;
    return "\"" + FText.substr(FAt, end - FAt) + "\"";
  }

  void Expect(char c) {
    SkipBlanks();
    if (FAt >= FText.size() || FText[FAt] != c) Fail(std::string("\"") + c + "\" expected, found " + Found());
    ++FAt;
  }

  void ReadObject(TComponent* existing, TComponent* parent) {
    const std::string keyword = Identifier();
    if (!rtl::SameText(keyword, "object") && !rtl::SameText(keyword, "inherited") && !rtl::SameText(keyword, "inline"))
      Fail("\"object\" expected, found \"" + keyword + "\"");
    const int objectLine = FLine;
    std::string name = Identifier();
    std::string className;
    SkipBlanks();
    if (FAt < FText.size() && FText[FAt] == ':') {
      ++FAt;
      className = Identifier();
    } else {
      className = name;  // an object without a name
      name.clear();
    }
    TComponent* component = existing;
    if (component) {
      if (!rtl::SameText(className, component->ClassName()))
        throw ELayoutError(objectLine, "the layout is for " + className + ", not " + component->ClassName());
      component->SetName(name);
    } else {
      const TComponentFactory* factory = FindComponentClass(className);
      if (!factory) throw ELayoutError(objectLine, "Class " + className + " not found");
      if (!name.empty() && FRoot.FindComponent(name)) throw ELayoutError(objectLine, "A component named " + name + " already exists");
      component = (*factory)(&FRoot);
      component->SetLoading(true);
      FLoaded.push_back(component);
      component->SetName(name);
      if (parent) parent->ReadChild(*component);
    }
    for (;;) {
      SkipBlanks();
      if (!AtIdentStart()) Fail("property, \"object\" or \"end\" expected, found " + Found());
      const std::size_t mark = FAt;
      const int markLine = FLine;
      const std::string word = Identifier();
      if (rtl::SameText(word, "end")) return;
      if (rtl::SameText(word, "object") || rtl::SameText(word, "inherited") || rtl::SameText(word, "inline")) {
        FAt = mark;
        FLine = markLine;
        ReadObject(nullptr, component);
        continue;
      }
      const int line = FLine;
      Expect('=');
      Value v = ReadValue();
      v.Line = line;
      Apply(*component, word, v);
    }
  }

  std::string QuotedOrCoded() {
    // 'text' with '' for a quote, #nn character codes, pieces joined without a separator.
    std::string s;
    bool any = false;
    while (FAt < FText.size()) {
      const char c = FText[FAt];
      if (c == '\'') {
        ++FAt;
        for (;;) {
          if (FAt >= FText.size() || FText[FAt] == '\n') Fail("unterminated string");
          if (FText[FAt] == '\'') {
            if (FAt + 1 < FText.size() && FText[FAt + 1] == '\'') {
              s.push_back('\'');
              FAt += 2;
              continue;
            }
            ++FAt;
            break;
          }
          s.push_back(FText[FAt++]);
        }
        any = true;
      } else if (c == '#') {
        ++FAt;
        std::size_t start = FAt;
        if (FAt < FText.size() && FText[FAt] == '$') {
          ++FAt;
          start = FAt;
          while (FAt < FText.size() && std::isxdigit(static_cast<unsigned char>(FText[FAt]))) ++FAt;
          if (start == FAt) Fail("character code expected");
          const unsigned long code = std::stoul(FText.substr(start, std::min<std::size_t>(FAt - start, 8)), nullptr, 16);
          if (code > 255) Fail("character code out of range");
          s.push_back(static_cast<char>(code));
        } else {
          while (FAt < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FAt]))) ++FAt;
          if (start == FAt) Fail("character code expected");
          const unsigned long code = std::stoul(FText.substr(start, std::min<std::size_t>(FAt - start, 8)));
          if (code > 255) Fail("character code out of range");
          s.push_back(static_cast<char>(code));
        }
        any = true;
      } else {
        break;
      }
    }
    if (!any) Fail("string expected, found " + Found());
    return s;
  }

  std::string StringValue() {
    std::string s = QuotedOrCoded();
    // 'a' + 'b' across lines
    for (;;) {
      const std::size_t mark = FAt;
      const int markLine = FLine;
      SkipBlanks();
      if (FAt < FText.size() && FText[FAt] == '+') {
        ++FAt;
        SkipBlanks();
        s += QuotedOrCoded();
        continue;
      }
      FAt = mark;
      FLine = markLine;
      return s;
    }
  }

  Value ReadValue() {
    SkipBlanks();
    if (FAt >= FText.size()) Fail("value expected, found end of text");
    Value v;
    const char c = FText[FAt];
    if (c == '\'' || c == '#') {
      v.K = Value::String;
      v.Str = StringValue();
    } else if (c == '-' || c == '$' || std::isdigit(static_cast<unsigned char>(c))) {
      v.K = Value::Integer;
      v.Int = IntegerValue();
    } else if (c == '[') {
      ++FAt;
      v.K = Value::Set;
      SkipBlanks();
      if (FAt < FText.size() && FText[FAt] == ']') {
        ++FAt;
      } else {
        for (;;) {
          v.Items.push_back(Identifier());
          SkipBlanks();
          if (FAt < FText.size() && FText[FAt] == ',') {
            ++FAt;
            continue;
          }
          Expect(']');
          break;
        }
      }
    } else if (c == '(') {
      ++FAt;
      v.K = Value::List;
      for (;;) {
        SkipBlanks();
        if (FAt < FText.size() && FText[FAt] == ')') {
          ++FAt;
          break;
        }
        v.Items.push_back(StringValue());
      }
    } else if (c == '{') {
      ++FAt;
      v.K = Value::Binary;
      int high = -1;
      for (;;) {
        SkipBlanks();
        if (FAt >= FText.size()) Fail("\"}\" expected, found end of text");
        const char h = FText[FAt++];
        if (h == '}') break;
        if (!std::isxdigit(static_cast<unsigned char>(h))) Fail(std::string("hexadecimal digit expected, found \"") + h + "\"");
        const int digit = std::isdigit(static_cast<unsigned char>(h)) ? h - '0' : (std::tolower(h) - 'a' + 10);
        if (high < 0) {
          high = digit;
        } else {
          v.Str.push_back(static_cast<char>(high * 16 + digit));
          high = -1;
        }
      }
      if (high >= 0) Fail("odd number of hexadecimal digits");
    } else if (AtIdentStart()) {
      v.K = Value::Ident;
      v.Str = Identifier();
    } else {
      Fail("value expected, found " + Found());
    }
    return v;
  }

  std::int64_t IntegerValue() {
    bool negative = false;
    if (FText[FAt] == '-') {
      negative = true;
      ++FAt;
    }
    // Unsigned, with the digit count checked before each step: no text can overflow it.
    std::uint64_t value = 0;
    int digits = 0;
    // Read the same way whatever the locale: ASCII digits only.
    if (FAt < FText.size() && FText[FAt] == '$') {
      ++FAt;
      while (FAt < FText.size() && std::isxdigit(static_cast<unsigned char>(FText[FAt]))) {
        if (++digits > 16) Fail("number too large");
        const char h = FText[FAt++];
        value = value * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(h)) ? h - '0' : std::tolower(h) - 'a' + 10);
      }
    } else {
      while (FAt < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FAt]))) {
        if (++digits > 18) Fail("number too large");
        value = value * 10 + static_cast<unsigned>(FText[FAt++] - '0');
      }
    }
    if (digits == 0) Fail("number expected, found " + Found());
    if (FAt < FText.size() && (FText[FAt] == '.' || std::isalpha(static_cast<unsigned char>(FText[FAt]))))
      Fail("integer expected, found " + Found());
    // A hexadecimal text is a bit pattern ($FFFFFFFFFFFFFFFF is -1), as the stored form has it.
    return static_cast<std::int64_t>(negative ? 0 - value : value);
  }

  // Integer properties and font sizes are 32-bit in the stored form.
  int Int32Value(const TComponent& c, const std::string& property, const Value& v) const {
    if (v.Int < INT32_MIN || v.Int > INT32_MAX) throw ELayoutError(v.Line, "value out of range for " + std::string(c.ClassName()) + "." + property);
    return static_cast<int>(v.Int);
  }

  [[noreturn]] void BadValue(const TComponent& c, const std::string& property, const Value& v) const {
    throw ELayoutError(v.Line, "invalid value for property " + std::string(c.ClassName()) + "." + property);
  }

  std::int64_t SetMask(const TComponent& c, const std::string& property, const std::vector<std::string>& names, const Value& v) const {
    if (v.K != Value::Set) BadValue(c, property, v);
    std::int64_t mask = 0;
    for (const std::string& item : v.Items) {
      std::size_t i = 0;
      while (i < names.size() && !rtl::SameText(names[i], item)) ++i;
      if (i == names.size()) throw ELayoutError(v.Line, "\"" + item + "\" is not a value of " + c.ClassName() + "." + property);
      mask |= std::int64_t{1} << i;
    }
    return mask;
  }

  gfx::TColor ColorValue(const TComponent& c, const std::string& property, const Value& v) const {
    if (v.K == Value::Integer) return static_cast<gfx::TColor>(static_cast<std::uint32_t>(v.Int));
    gfx::TColor color;
    if (v.K == Value::Ident && gfx::IdentToColor(v.Str, color)) return color;
    BadValue(c, property, v);
  }

  // A property of the component, or of an object it owns along a dotted path ("Font.Name",
  // "Items.Strings", "Glyph.Data"). Errors name the component's class and the whole path.
  void Apply(TComponent& c, const std::string& path, const Value& v) {
    rtl::TPersistent* object = &c;
    std::size_t at = 0;
    for (;;) {
      const std::size_t dot = path.find('.', at);
      const std::string name = path.substr(at, dot == std::string::npos ? std::string::npos : dot - at);
      const TPropertyInfo* p = object->Properties().Find(name);
      if (!p) {
        if (object == &c) throw ELayoutError(v.Line, std::string("class ") + c.ClassName() + " has no property '" + path + "'");
        throw ELayoutError(v.Line, std::string("class ") + object->ClassName() + " has no property '" + name + "' (" + c.ClassName() + "." + path + ")");
      }
      if (dot == std::string::npos) return ApplyWhole(c, *object, *p, path, v);
      if (p->Kind != TPropertyKind::pkObject) throw ELayoutError(v.Line, std::string("class ") + c.ClassName() + " has no property '" + path + "'");
      object = p->GetObject(*object);
      at = dot + 1;
    }
  }

  // A setter's own refusal (a value out of its range) names the property too.
  template <class Set>
  void Guarded(const TComponent& c, const std::string& path, const Value& v, Set set) {
    try {
      set();
    } catch (const ELayoutError&) {
      throw;
    } catch (const std::exception& e) {
      throw ELayoutError(v.Line, std::string(e.what()) + " (" + c.ClassName() + "." + path + ")");
    }
  }

  void ApplyWhole(TComponent& c, rtl::TPersistent& object, const TPropertyInfo& p, const std::string& path, const Value& v) {
    switch (p.Kind) {
      case TPropertyKind::pkText:
        if (v.K != Value::String) BadValue(c, path, v);
        return Guarded(c, path, v, [&] { p.SetText(object, v.Str); });
      case TPropertyKind::pkInteger: {
        std::int64_t value = 0;
        if (v.K == Value::Integer) value = Int32Value(c, path, v);
        else if (v.K != Value::Ident || !IdentValue(p, v.Str, value)) BadValue(c, path, v);
        return Guarded(c, path, v, [&] { p.SetOrdinal(object, value); });
      }
      case TPropertyKind::pkBoolean:
        if (v.K == Value::Ident && rtl::SameText(v.Str, "True")) return p.SetOrdinal(object, 1);
        if (v.K == Value::Ident && rtl::SameText(v.Str, "False")) return p.SetOrdinal(object, 0);
        BadValue(c, path, v);
      case TPropertyKind::pkEnumeration:
        if (v.K == Value::Ident)
          for (std::size_t i = 0; i < p.Names.size(); ++i)
            if (rtl::SameText(p.Names[i], v.Str)) return p.SetOrdinal(object, static_cast<std::int64_t>(i));
        BadValue(c, path, v);
      case TPropertyKind::pkSet: return p.SetOrdinal(object, SetMask(c, path, p.Names, v));
      case TPropertyKind::pkColor: return p.SetOrdinal(object, ColorValue(c, path, v));
      case TPropertyKind::pkLines:
        if (v.K != Value::List) BadValue(c, path, v);
        return Guarded(c, path, v, [&] { p.SetLines(object, v.Items); });
      case TPropertyKind::pkBinary:
        if (v.K != Value::Binary) BadValue(c, path, v);
        return Guarded(c, path, v, [&] { p.SetText(object, v.Str); });
      case TPropertyKind::pkEvent: {
        if (v.K != Value::Ident) BadValue(c, path, v);
        const std::any* handler = FRoot.FindMethod(v.Str);
        if (!handler) throw ELayoutError(v.Line, "method " + v.Str + " not found for " + c.ClassName() + "." + path);
        if (!p.SetEvent(object, *handler))
          throw ELayoutError(v.Line, "method " + v.Str + " does not fit the event " + c.ClassName() + "." + path);
        return;
      }
      case TPropertyKind::pkComponent:
        if (v.K != Value::Ident) BadValue(c, path, v);
        FFixups.push_back({&c, &object, &p, path, v.Str, v.Line});
        return;
      case TPropertyKind::pkObject: BadValue(c, path, v);
    }
  }

  static bool IdentValue(const TPropertyInfo& p, const std::string& name, std::int64_t& value) {
    for (const auto& [ident, number] : p.Idents)
      if (rtl::SameText(ident, name)) {
        value = number;
        return true;
      }
    return false;
  }

  const std::string& FText;
  TComponent& FRoot;
  std::size_t FAt = 0;
  int FLine = 1;
  std::vector<TComponent*> FLoaded;
  std::vector<Fixup> FFixups;
};

}  // namespace

void ReadLayout(const std::string& text, TComponent& root) {
  Reader reader(text, root);
  try {
    reader.Run();
  } catch (...) {
    root.SetLoading(false);
    throw;
  }
}

}  // namespace kestrova::ui
