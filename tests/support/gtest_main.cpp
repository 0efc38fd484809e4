// The test programs' main: GoogleTest's own, plus one line for every skipped
// case ("skipped: Suite.Case: reason"), which scripts/test collects so that no
// skip passes for a pass. A disabled case (DISABLED_ in its name) that the
// filter would have run is a skip too.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {
class SkipReporter : public ::testing::EmptyTestEventListener {
  void OnTestEnd(const ::testing::TestInfo& info) override {
    const ::testing::TestResult& result = *info.result();
    if (!result.Skipped()) return;
    std::string reason;
    for (int i = 0; i < result.total_part_count(); ++i) {
      const ::testing::TestPartResult& part = result.GetTestPartResult(i);
      if (part.skipped() && part.message() != nullptr) reason = part.message();
    }
    for (char& c : reason) {
      if (c == '\n' || c == '\r') c = ' ';
    }
    std::printf("skipped: %s.%s: %s\n", info.test_suite_name(), info.name(), reason.c_str());
    std::fflush(stdout);
  }
};
}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::UnitTest::GetInstance()->listeners().Append(new SkipReporter);
  const int failed = RUN_ALL_TESTS();
  // GoogleTest reports a disabled case only as a count; name each one that
  // matched the filter and did not run.
  const ::testing::UnitTest& tests = *::testing::UnitTest::GetInstance();
  for (int i = 0; i < tests.total_test_suite_count(); ++i) {
    const ::testing::TestSuite& suite = *tests.GetTestSuite(i);
    for (int j = 0; j < suite.total_test_count(); ++j) {
      const ::testing::TestInfo& info = *suite.GetTestInfo(j);
      if (info.is_reportable() && !info.should_run()) {
        std::printf("skipped: %s.%s: disabled\n", info.test_suite_name(), info.name());
      }
    }
  }
  std::fflush(stdout);
  return failed;
}
