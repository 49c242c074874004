#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "framework/rtl/classes.h"
#include "framework/rtl/errors.h"
#include "framework/rtl/streams.h"
#include "framework/rtl/strutils.h"
#include "tests/support/childprocess.h"

namespace kestrova::rtl {
namespace {

TEST(StringList, InsertsFindsAndRefusesPositionsOutsideTheList) {
  TStringList list;
  list.Add("a");
  list.Add("c");
  list.InsertObject(1, "b", 5);
  list.Insert(3, "d");
  list.Add("b");
  EXPECT_EQ(list.Count(), 5);
  EXPECT_EQ(list.Strings(1), "b");
  EXPECT_EQ(list.Objects(1), 5);
  EXPECT_EQ(list.IndexOf("b"), 1);
  EXPECT_EQ(list.IndexOf("B"), -1);
  EXPECT_EQ(list.IndexOf("d"), 3);
  EXPECT_THROW(list.Insert(6, "x"), std::out_of_range);
  EXPECT_THROW(list.Delete(5), std::out_of_range);
  EXPECT_THROW(list.SetStrings(-1, "x"), std::out_of_range);
  list.Assign(list);
  EXPECT_EQ(list.Count(), 5);
  {
    TUpdateGuard guard(list);
    EXPECT_EQ(list.UpdateCount(), 1);
  }
  EXPECT_EQ(list.UpdateCount(), 0);
}

TEST(Trim, RemovesCodesUpTo32AtBothEndsOnly) {
  EXPECT_EQ(Trim(std::string("\0\x01 \t a \x1f b\x20\x7f", 12)), "a \x1f b\x20\x7f");
  EXPECT_EQ(Trim(" \r\n "), "");
  EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0");
  EXPECT_TRUE(AnsiSameText("[Main]", "[mAIN]"));
  EXPECT_FALSE(AnsiSameText("[Main]", "[ Main ]"));
  EXPECT_FALSE(AnsiSameText("Main", "Mai"));
}

TEST(MemoryStream, KeepsZeroedRoomBeyondItsSize) {
  TMemoryStream s;
  EXPECT_EQ(s.Size(), 0);
  for (int size : {1, 7, 8191, 8192, 8193, 100000}) {
    s.SetSize(size);
    ASSERT_GE(s.Capacity(), s.Size() + TMemoryStream::kSpare) << size;
    for (std::int64_t i = s.Size(); i < s.Capacity(); ++i) ASSERT_EQ(s.Memory()[i], 0) << size << " at " << i;
    std::memset(s.Memory(), 0xAB, static_cast<std::size_t>(size));
  }
  // Bytes dropped by shrinking are zero when the stream grows again.
  s.SetSize(3);
  s.SetSize(10);
  EXPECT_EQ(s.Memory()[2], 0xAB);
  EXPECT_EQ(s.Memory()[3], 0);
  EXPECT_EQ(s.Memory()[10], 0);
}

TEST(MemoryStream, ReadsWritesAndSeeksLikeAFile) {
  TMemoryStream s;
  s.WriteBuffer("hello", 5);
  EXPECT_EQ(s.Position(), 5);
  s.Seek(8, soBeginning);
  s.WriteBuffer("!", 1);  // the gap fills with zeros
  EXPECT_EQ(s.Size(), 9);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.Memory()), 9), std::string("hello\0\0\0!", 9));
  s.SetPosition(1);
  char buf[16] = {};
  EXPECT_EQ(s.Read(buf, 3), 3);
  EXPECT_EQ(std::string(buf, 3), "ell");
  EXPECT_EQ(s.Seek(-2, soEnd), 7);
  EXPECT_EQ(s.Read(buf, 16), 2);
  EXPECT_EQ(s.Read(buf, 16), 0);
  EXPECT_THROW(s.ReadBuffer(buf, 1), EReadError);
  EXPECT_EQ(s.Seek(-100, soCurrent), 0);
}

TEST(FileStream, CreatesOpensAndNamesTheFileInItsErrors) {
  const std::string folder = testing::MakeTempFolder();
  const std::string name = folder + "data.bin";
  {
    TFileStream out(name, fmCreate);
    out.WriteBuffer("abcdef", 6);
    EXPECT_EQ(out.Size(), 6);
    out.SetPosition(2);
    char c = 0;
    out.ReadBuffer(&c, 1);
    EXPECT_EQ(c, 'c');
    out.WriteBuffer("X", 1);
  }
  EXPECT_EQ(testing::ReadWholeFile(name), "abcXef");
  TMemoryStream m;
  m.LoadFromFile(name);
  EXPECT_EQ(m.Size(), 6);
  EXPECT_EQ(m.Position(), 0);
  m.SaveToFile(folder + "copy.bin");
  EXPECT_EQ(testing::ReadWholeFile(folder + "copy.bin"), "abcXef");
  EXPECT_TRUE(FileExists(name));
  EXPECT_FALSE(FileExists(folder));
  EXPECT_FALSE(FileExists(folder + "none"));
  try {
    TFileStream missing(folder + "none", fmOpenRead);
    ADD_FAILURE();
  } catch (const EFOpenError& e) {
    EXPECT_NE(std::string(e.what()).find("Cannot open file \"" + folder + "none\""), std::string::npos) << e.what();
  }
  EXPECT_THROW(TFileStream(folder + "no/such/folder", fmCreate), EFCreateError);
}

#ifdef _WIN32
TEST(FileStream, ReadingThatDeniesWritingKeepsWritersOutButNotReaders) {
  const std::string name = testing::MakeTempFolder() + "held.ini";
  testing::WriteWholeFile(name, "[S]\r\n");
  TFileStream reader(name, fmOpenRead | fmShareDenyWrite);
  EXPECT_THROW(TFileStream(name, fmOpenReadWrite), EFOpenError);
  EXPECT_NO_THROW(TFileStream(name, fmOpenRead));
}
#endif

}  // namespace
}  // namespace kestrova::rtl
