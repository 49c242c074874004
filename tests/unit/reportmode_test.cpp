#include <gtest/gtest.h>

#include "app/reportmode.h"
#include "platform/filenames.h"
#include "platform/sharedfile.h"
#include "tests/support/childprocess.h"

namespace kestrova::app {
namespace {

struct TargetCase {
  const char* Target;
  bool Switch;
  const char* FileName;  // for the computer name "WKS-07"
};

#ifdef _WIN32
const TargetCase kTargets[] = {
    {"D:\\reports\\", false, "D:\\reports\\WKS-07.csv"},
    {"D:\\reports\\scan.txt", false, "D:\\reports\\scan.txt"},
    {"report.csv", false, "report.csv"},
    {"\\\\server\\share\\", false, "\\\\server\\share\\WKS-07.csv"},
    {"D:/reports/", false, "D:/reports/"},
    {"/i", true, nullptr},
    {"/x", true, nullptr},
    {"/var/log/scan.csv", true, nullptr},
};
#else
const TargetCase kTargets[] = {
    {"/var/log/kestrova/", false, "/var/log/kestrova/WKS-07.csv"},
    {"/var/log/kestrova/scan.csv", false, "/var/log/kestrova/scan.csv"},
    {"reports/", false, "reports/WKS-07.csv"},
    {"report.csv", false, "report.csv"},
    {"D:\\reports\\", false, "D:\\reports\\"},
    {"/", false, "/WKS-07.csv"},
    {"/i", true, nullptr},
    {"/x", true, nullptr},
    {"/scan.csv", true, nullptr},
};
#endif

TEST(ReportTarget, FoldersGetTheComputerNameAndSwitchesAreRefused) {
  for (const auto& c : kTargets) {
    EXPECT_EQ(platform::IsSwitchTarget(c.Target), c.Switch) << c.Target;
    if (c.FileName != nullptr) {
      EXPECT_EQ(ReportFileName(c.Target, "WKS-07"), c.FileName) << c.Target;
    }
  }
  EXPECT_EQ(ReportFileName(std::string("reports") + testing::FolderSeparator(), ""),
            std::string("reports") + testing::FolderSeparator() + ".csv");
}

TEST(ReportLine, ThreeFieldsJoinedByCommaAndBlank) {
  using detect::TScanVerdict;
  EXPECT_EQ(BuildReportLine(TScanVerdict::svFound, "WKS-07", "12/6/2026 10:39:35 AM"),
            "1, WKS-07, 12/6/2026 10:39:35 AM");
  EXPECT_EQ(BuildReportLine(TScanVerdict::svClean, "", "12/6/2026"), "0, , 12/6/2026");
  EXPECT_EQ(BuildReportLine(TScanVerdict::svIncomplete, "PC", "x"), "2, PC, x");
  EXPECT_EQ(ExitCodeOf(TScanVerdict::svFound), 1);
  EXPECT_EQ(ExitCodeOf(TScanVerdict::svClean), 0);
  EXPECT_EQ(ExitCodeOf(TScanVerdict::svIncomplete), 2);
}

TEST(ComputerName, IsShortAndStable) {
  const std::string name = GetComputerNameText();
  EXPECT_LE(name.size(), 15u);
  EXPECT_EQ(name.find('.'), std::string::npos);
  EXPECT_EQ(GetComputerNameText(), name);
}

TEST(AppendReportLine, CreatesThenAppendsNeverRewriting) {
  const std::string folder = testing::MakeTempFolder();
  const std::string file = folder + "r.csv";
  AppendReportLine(file, "first");
  EXPECT_EQ(testing::ReadWholeFile(file), "first\r\n");
  testing::WriteWholeFile(file, "no line end");
  AppendReportLine(file, "second");
  AppendReportLine(file, "");
  EXPECT_EQ(testing::ReadWholeFile(file), "no line endsecond\r\n\r\n");
  AppendReportLine("", "nowhere");
  AppendReportLine(folder + "missing" + testing::FolderSeparator() + "r.csv", "lost");
  AppendReportLine(folder, "a folder is no file");
  EXPECT_EQ(testing::ListFolder(folder), std::vector<std::string>{"r.csv"});
}

TEST(TryAppendLocked, TellsBusyFromFailed) {
  const std::string folder = testing::MakeTempFolder();
  const std::string file = folder + "r.csv";
  EXPECT_EQ(platform::TryAppendLocked(file, "x"), platform::AppendStatus::Written);
  EXPECT_EQ(platform::TryAppendLocked(folder + "missing" + testing::FolderSeparator() + "r.csv", "x"),
            platform::AppendStatus::Failed);
  EXPECT_EQ(testing::ReadWholeFile(file), "x");
}

}  // namespace
}  // namespace kestrova::app
