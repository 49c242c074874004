#include <gtest/gtest.h>

#include "platform/cmdline.h"

namespace kestrova::platform {
namespace {

TEST(SplitCommandLine, QuotesGroupAndBackslashesArePlain) {
  using Args = std::vector<std::string>;
  struct {
    const char* Line;
    Args Expected;
  } cases[] = {
      {"", {}},
      {"   \t ", {}},
      {"kestrova.exe", {"kestrova.exe"}},
      {"kestrova.exe /c D:\\reports\\", {"kestrova.exe", "/c", "D:\\reports\\"}},
      {"\"C:\\Program Files\\K\\kestrova.exe\" /c \"D:\\my reports\\\" /i",
       {"C:\\Program Files\\K\\kestrova.exe", "/c", "D:\\my reports\\", "/i"}},
      {"a  \t b", {"a", "b"}},
      {"a\"b c\"d", {"ab cd"}},
      {"a \"\" b", {"a", "b"}},
      {"a \"unterminated x", {"a", "unterminated x"}},
      {"a\\\"b\"", {"a\\b"}},
      {"x\x01y", {"x", "y"}},
      {"caf\xe9 /c", {"caf\xe9", "/c"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.Line), c.Expected) << c.Line;
  EXPECT_EQ(SplitCommandLine(nullptr), Args{});
}

}  // namespace
}  // namespace kestrova::platform
