// Severity filtering, logger hierarchy and output capture of the logging layer.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "rclcpp/logger.hpp"
#include "rclcpp/logging.hpp"
#include "rcutils/logging.h"

namespace
{

struct CapturedLine
{
  int severity;
  std::string name;
  std::string message;
};

std::mutex g_lines_mutex;
std::vector<CapturedLine> g_lines;

void capture_handler(
  const rcutils_log_location_t *, int severity, const char * name,
  rcutils_time_point_value_t, const char * format, va_list * args)
{
  char buffer[512];
  va_list copy;
  va_copy(copy, *args);
  std::vsnprintf(buffer, sizeof(buffer), format, copy);
  va_end(copy);
  std::lock_guard<std::mutex> lock(g_lines_mutex);
  g_lines.push_back({severity, name, buffer});
}

// Installs the capture handler and restores levels and handler afterwards.
class LoggingTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    previous_handler_ = rcutils_logging_get_output_handler();
    rcutils_logging_set_output_handler(&capture_handler);
    std::lock_guard<std::mutex> lock(g_lines_mutex);
    g_lines.clear();
  }
  void TearDown() override
  {
    rcutils_logging_set_output_handler(previous_handler_);
    for (const char * name : touched_loggers_) {
      EXPECT_EQ(rcutils_logging_set_logger_level(name, RCUTILS_LOG_SEVERITY_UNSET), RCUTILS_RET_OK);
    }
    rcutils_logging_set_default_logger_level(RCUTILS_DEFAULT_LOGGER_DEFAULT_LEVEL);
  }
  std::vector<CapturedLine> lines()
  {
    std::lock_guard<std::mutex> lock(g_lines_mutex);
    return g_lines;
  }
  void touch(const char * name) {touched_loggers_.push_back(name);}

  rcutils_logging_output_handler_t previous_handler_ = nullptr;
  std::vector<const char *> touched_loggers_;
};

int g_evaluations = 0;
int count_evaluation()
{
  return ++g_evaluations;
}

TEST_F(LoggingTest, DebugIsHiddenByDefaultAndInfoIsShown)
{
  auto logger = rclcpp::get_logger("process_test_default");
  RCLCPP_DEBUG(logger, "hidden %d", 1);
  RCLCPP_INFO(logger, "shown %d", 2);
  RCLCPP_ERROR(logger, "also shown");
  const auto captured = lines();
  ASSERT_EQ(captured.size(), 2u);
  EXPECT_EQ(captured[0].severity, RCUTILS_LOG_SEVERITY_INFO);
  EXPECT_EQ(captured[0].name, "process_test_default");
  EXPECT_EQ(captured[0].message, "shown 2");
  EXPECT_EQ(captured[1].severity, RCUTILS_LOG_SEVERITY_ERROR);
}

// A logger made in the macro's own argument is a temporary; the macro must
// keep it alive while it logs (AddressSanitizer reports the read otherwise).
TEST_F(LoggingTest, TemporaryLoggerInTheMacroIsSafe)
{
  RCLCPP_ERROR(rclcpp::get_logger("process_test_temporary"), "value %d", 7);
  RCLCPP_INFO_STREAM(rclcpp::get_logger("process_test_temporary"), "stream " << 8);
  const auto captured = lines();
  ASSERT_EQ(captured.size(), 2u);
  EXPECT_EQ(captured[0].name, "process_test_temporary");
  EXPECT_EQ(captured[0].message, "value 7");
  EXPECT_EQ(captured[1].message, "stream 8");
}

TEST_F(LoggingTest, SetLevelMakesDebugVisibleForThatLoggerOnly)
{
  touch("process_test_verbose");
  auto verbose = rclcpp::get_logger("process_test_verbose");
  auto quiet = rclcpp::get_logger("process_test_quiet");
  verbose.set_level(rclcpp::Logger::Level::Debug);
  RCLCPP_DEBUG(verbose, "verbose debug");
  RCLCPP_DEBUG(quiet, "quiet debug");
  const auto captured = lines();
  ASSERT_EQ(captured.size(), 1u);
  EXPECT_EQ(captured[0].message, "verbose debug");
  EXPECT_EQ(rcutils_logging_get_logger_level("process_test_verbose"), RCUTILS_LOG_SEVERITY_DEBUG);
  EXPECT_EQ(rcutils_logging_get_logger_level("process_test_quiet"), RCUTILS_LOG_SEVERITY_UNSET);
}

TEST_F(LoggingTest, EffectiveLevelComesFromNearestAncestor)
{
  touch("proc_a");
  touch("proc_a.b.c");
  ASSERT_EQ(rcutils_logging_set_logger_level("proc_a", RCUTILS_LOG_SEVERITY_ERROR), RCUTILS_RET_OK);
  EXPECT_EQ(rcutils_logging_get_logger_effective_level("proc_a.b"), RCUTILS_LOG_SEVERITY_ERROR);
  EXPECT_EQ(rcutils_logging_get_logger_effective_level("proc_a.b.c.d"), RCUTILS_LOG_SEVERITY_ERROR);
  // A name that merely starts with the same letters is not a child.
  EXPECT_EQ(rcutils_logging_get_logger_effective_level("proc_ab"), RCUTILS_LOG_SEVERITY_INFO);

  ASSERT_EQ(rcutils_logging_set_logger_level("proc_a.b.c", RCUTILS_LOG_SEVERITY_DEBUG), RCUTILS_RET_OK);
  EXPECT_EQ(rcutils_logging_get_logger_effective_level("proc_a.b.c.d"), RCUTILS_LOG_SEVERITY_DEBUG);
  EXPECT_EQ(rcutils_logging_get_logger_effective_level("proc_a.b"), RCUTILS_LOG_SEVERITY_ERROR);

  auto child = rclcpp::get_logger("proc_a").get_child("b");
  EXPECT_STREQ(child.get_name(), "proc_a.b");
  RCLCPP_WARN(child, "below error");
  RCLCPP_ERROR(child, "at error");
  const auto captured = lines();
  ASSERT_EQ(captured.size(), 1u);
  EXPECT_EQ(captured[0].message, "at error");
}

TEST_F(LoggingTest, DefaultLevelAppliesToLoggersWithoutOwnLevel)
{
  rcutils_logging_set_default_logger_level(RCUTILS_LOG_SEVERITY_DEBUG);
  EXPECT_TRUE(rcutils_logging_logger_is_enabled_for("anything", RCUTILS_LOG_SEVERITY_DEBUG));
  // The empty name addresses the default level.
  ASSERT_EQ(rcutils_logging_set_logger_level("", RCUTILS_LOG_SEVERITY_WARN), RCUTILS_RET_OK);
  EXPECT_EQ(rcutils_logging_get_default_logger_level(), RCUTILS_LOG_SEVERITY_WARN);
  EXPECT_FALSE(rcutils_logging_logger_is_enabled_for("anything", RCUTILS_LOG_SEVERITY_INFO));
}

TEST_F(LoggingTest, InvalidLevelsAreRejected)
{
  EXPECT_EQ(rcutils_logging_set_logger_level("proc_x", 25), RCUTILS_RET_INVALID_ARGUMENT);
  EXPECT_EQ(rcutils_logging_set_logger_level(nullptr, RCUTILS_LOG_SEVERITY_INFO),
    RCUTILS_RET_INVALID_ARGUMENT);
  EXPECT_EQ(rcutils_logging_get_logger_level("proc_x"), RCUTILS_LOG_SEVERITY_UNSET);
}

TEST_F(LoggingTest, UnknownSeveritiesAndMissingFormatAreDropped)
{
  rcutils_log(nullptr, 25, "process_test_odd", "between levels");
  rcutils_log(nullptr, 1000, "process_test_odd", "far above fatal");
  rcutils_log(nullptr, -5, "process_test_odd", "negative");
  rcutils_log(nullptr, RCUTILS_LOG_SEVERITY_ERROR, "process_test_odd", nullptr);
  rcutils_log(nullptr, RCUTILS_LOG_SEVERITY_ERROR, nullptr, "no name");
  const auto captured = lines();
  ASSERT_EQ(captured.size(), 1u);
  EXPECT_EQ(captured[0].name, "");
  EXPECT_EQ(captured[0].message, "no name");
}

TEST_F(LoggingTest, FormatArgumentsAreEvaluatedOnlyWhenEnabled)
{
  touch("process_test_lazy");
  auto logger = rclcpp::get_logger("process_test_lazy");
  g_evaluations = 0;
  RCLCPP_DEBUG(logger, "%d", count_evaluation());
  RCLCPP_DEBUG_STREAM(logger, "stream " << count_evaluation());
  EXPECT_EQ(g_evaluations, 0);
  logger.set_level(rclcpp::Logger::Level::Debug);
  RCLCPP_DEBUG(logger, "%d", count_evaluation());
  RCLCPP_DEBUG_STREAM(logger, "stream " << count_evaluation());
  EXPECT_EQ(g_evaluations, 2);
  const auto captured = lines();
  ASSERT_EQ(captured.size(), 2u);
  EXPECT_EQ(captured[0].message, "1");
  EXPECT_EQ(captured[1].message, "stream 2");
}

TEST_F(LoggingTest, OnceAndSkipFirstVariants)
{
  auto logger = rclcpp::get_logger("process_test_once");
  for (int i = 0; i < 3; ++i) {
    RCLCPP_WARN_ONCE(logger, "once %d", i);
    RCLCPP_INFO_SKIPFIRST(logger, "skip %d", i);
    RCLCPP_INFO_EXPRESSION(logger, i == 1, "expr %d", i);
  }
  std::vector<std::string> messages;
  for (const auto & line : lines()) {
    messages.push_back(line.message);
  }
  EXPECT_EQ(messages, (std::vector<std::string>{"once 0", "skip 1", "expr 1", "skip 2"}));
}

TEST_F(LoggingTest, SeverityStringsAreCaseInsensitive)
{
  int level = -1;
  const auto allocator = rcutils_get_default_allocator();
  EXPECT_EQ(rcutils_logging_severity_level_from_string("debug", allocator, &level), RCUTILS_RET_OK);
  EXPECT_EQ(level, RCUTILS_LOG_SEVERITY_DEBUG);
  EXPECT_EQ(rcutils_logging_severity_level_from_string("Warn", allocator, &level), RCUTILS_RET_OK);
  EXPECT_EQ(level, RCUTILS_LOG_SEVERITY_WARN);
  EXPECT_EQ(rcutils_logging_severity_level_from_string("FATAL", allocator, &level), RCUTILS_RET_OK);
  EXPECT_EQ(level, RCUTILS_LOG_SEVERITY_FATAL);
  EXPECT_NE(rcutils_logging_severity_level_from_string("verbose", allocator, &level),
    RCUTILS_RET_OK);
  EXPECT_NE(rcutils_logging_severity_level_from_string(nullptr, allocator, &level), RCUTILS_RET_OK);
}

TEST_F(LoggingTest, ConcurrentLoggingAndLevelChangesKeepEveryLine)
{
  touch("process_test_threads");
  auto logger = rclcpp::get_logger("process_test_threads");
  std::thread writer([&logger] {
      for (int i = 0; i < 200; ++i) {
        RCLCPP_WARN(logger, "line %d", i);
      }
    });
  for (int i = 0; i < 200; ++i) {
    logger.set_level(i % 2 ? rclcpp::Logger::Level::Debug : rclcpp::Logger::Level::Info);
  }
  writer.join();
  EXPECT_EQ(lines().size(), 200u);
}

// Points file descriptor 2 at a file for the lifetime of the object.
class StderrToFile
{
public:
  explicit StderrToFile(const std::string & path)
  {
    std::fflush(stderr);
    saved_fd_ = ::dup(2);
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd >= 0) {
      ::dup2(fd, 2);
      ::close(fd);
    }
  }
  ~StderrToFile()
  {
    std::fflush(stderr);
    ::dup2(saved_fd_, 2);
    ::close(saved_fd_);
  }

private:
  int saved_fd_ = -1;
};

// The default handler writes "[SEVERITY] [sec.nsec] [name]: message".
TEST(ConsoleOutput, DefaultHandlerFormatsOneLine)
{
  const std::string path = ::testing::TempDir() + std::to_string(::getpid()) + "_process_console_output.txt";
  {
    StderrToFile redirect(path);
    rcutils_log_location_t location{"function", "file.cpp", 12};
    const auto previous = rcutils_logging_get_output_handler();
    rcutils_logging_set_output_handler(&rcutils_logging_console_output_handler);
    rcutils_log(&location, RCUTILS_LOG_SEVERITY_WARN, "console_test", "value %d", 7);
    rcutils_logging_set_output_handler(previous);
  }

  FILE * file = std::fopen(path.c_str(), "r");
  ASSERT_NE(file, nullptr);
  char buffer[256] = {0};
  ASSERT_NE(std::fgets(buffer, sizeof(buffer), file), nullptr);
  std::fclose(file);
  long long seconds = 0;  // NOLINT(runtime/int)
  char nanos[16] = {0};
  char rest[128] = {0};
  ASSERT_EQ(std::sscanf(buffer, "[WARN] [%lld.%9[0-9]] %127[^\n]", &seconds, nanos, rest), 3);
  EXPECT_GT(seconds, 1600000000LL);
  EXPECT_EQ(std::string(nanos).size(), 9u);
  EXPECT_EQ(std::string(rest), "[console_test]: value 7");
}

}  // namespace
