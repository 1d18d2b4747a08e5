// Runs the built program as a child process.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace
{

// The program with its output (stdout and stderr) on one pipe.
class ChildProgram
{
public:
  explicit ChildProgram(const std::vector<std::string> & arguments)
  {
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) {
      return;
    }
    pid_ = fork();
    if (pid_ == 0) {
      dup2(pipe_ends[1], STDOUT_FILENO);
      dup2(pipe_ends[1], STDERR_FILENO);
      close(pipe_ends[0]);
      close(pipe_ends[1]);
      std::vector<char *> argv;
      argv.push_back(const_cast<char *>(ALIGN_FEATURE_NODE_BINARY));
      for (const auto & argument : arguments) {
        argv.push_back(const_cast<char *>(argument.c_str()));
      }
      argv.push_back(nullptr);
      execv(ALIGN_FEATURE_NODE_BINARY, argv.data());
      _exit(127);
    }
    close(pipe_ends[1]);
    output_fd_ = pipe_ends[0];
  }

  ~ChildProgram()
  {
    if (pid_ > 0 && !reaped_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (output_fd_ >= 0) {
      close(output_fd_);
    }
  }

  bool started() const {return pid_ > 0 && output_fd_ >= 0;}
  const std::string & output() const {return output_;}

  // Reads output until it contains `text` or the timeout passes.
  bool wait_for_output(const std::string & text, std::chrono::milliseconds timeout)
  {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (output_.find(text) == std::string::npos) {
      if (std::chrono::steady_clock::now() >= deadline || !read_some(50)) {
        return output_.find(text) != std::string::npos;
      }
    }
    return true;
  }

  void send(int signal_number) {kill(pid_, signal_number);}

  // Exit status as waitpid reports it; false if the child is still running
  // after the timeout.
  bool wait_for_exit(std::chrono::milliseconds timeout, int & status)
  {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
      read_some(0);
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        reaped_ = true;
        while (read_some(0)) {
        }
        return true;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
  }

private:
  // False at the end of the output.
  bool read_some(int timeout_ms)
  {
    pollfd descriptor{output_fd_, POLLIN, 0};
    if (poll(&descriptor, 1, timeout_ms) <= 0) {
      return true;
    }
    char buffer[1024];
    const ssize_t count = read(output_fd_, buffer, sizeof(buffer));
    if (count <= 0) {
      return false;
    }
    output_.append(buffer, static_cast<std::size_t>(count));
    return true;
  }

  pid_t pid_ = -1;
  int output_fd_ = -1;
  bool reaped_ = false;
  std::string output_;
};

constexpr char kStartedLine[] = "Enable signal default to TRUE when test.";

TEST(FeatureProgram, EndsWithStatusZeroOnSigint)
{
  ChildProgram program({});
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(program.wait_for_output(kStartedLine, std::chrono::seconds(20))) << program.output();
  // Give it a moment to enter spinning; the signal ends it either way.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  program.send(SIGINT);
  int status = 0;
  ASSERT_TRUE(program.wait_for_exit(std::chrono::seconds(20), status)) << program.output();
  ASSERT_TRUE(WIFEXITED(status)) << program.output();
  EXPECT_EQ(WEXITSTATUS(status), 0) << program.output();
}

TEST(FeatureProgram, WrongTypedOverrideEndsItBeforeSpinning)
{
  ChildProgram program({"--ros-args", "-p", "max_range:=2"});
  ASSERT_TRUE(program.started());
  int status = 0;
  ASSERT_TRUE(program.wait_for_exit(std::chrono::seconds(20), status)) << program.output();
  ASSERT_TRUE(WIFEXITED(status)) << program.output();
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_NE(program.output().find("max_range"), std::string::npos) << program.output();
  EXPECT_EQ(program.output().find(kStartedLine), std::string::npos) << program.output();
}

TEST(FeatureProgram, HistoryLengthZeroEndsItBeforeSpinning)
{
  ChildProgram program({"--ros-args", "-p", "times:=0"});
  ASSERT_TRUE(program.started());
  int status = 0;
  ASSERT_TRUE(program.wait_for_exit(std::chrono::seconds(20), status)) << program.output();
  ASSERT_TRUE(WIFEXITED(status)) << program.output();
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_NE(program.output().find("times"), std::string::npos) << program.output();
  EXPECT_EQ(program.output().find(kStartedLine), std::string::npos) << program.output();
}

// The same refusal as align_node's (AlignNodeProgram test of the same name).
TEST(FeatureProgram, IntegerOverrideOutside32BitsEndsItBeforeSpinning)
{
  ChildProgram program({"--ros-args", "-p", "min_points_per_line:=4294967301"});
  ASSERT_TRUE(program.started());
  int status = 0;
  ASSERT_TRUE(program.wait_for_exit(std::chrono::seconds(20), status)) << program.output();
  ASSERT_TRUE(WIFEXITED(status)) << program.output();
  EXPECT_EQ(WEXITSTATUS(status), 1);
  const std::string line =
    "[align_feature_node]: parameter 'min_points_per_line' does not fit a 32-bit integer: 4294967301\n";
  const std::size_t at = program.output().find(line);
  ASSERT_NE(at, std::string::npos) << program.output();
  EXPECT_EQ(program.output().rfind("[FATAL] [", at), program.output().rfind('\n', at) + 1) << program.output();
  EXPECT_EQ(program.output().find(kStartedLine), std::string::npos) << program.output();
}

TEST(FeatureProgram, UnknownScanQosEndsItWithAFatalLineAndStatusOne)
{
  ChildProgram program({"--ros-args", "-p", "scan_qos:=best_effort"});
  ASSERT_TRUE(program.started());
  int status = 0;
  ASSERT_TRUE(program.wait_for_exit(std::chrono::seconds(20), status)) << program.output();
  ASSERT_TRUE(WIFEXITED(status)) << program.output();
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_NE(program.output().find("[FATAL]"), std::string::npos) << program.output();
  EXPECT_NE(
    program.output().find(
      "parameter 'scan_qos' has the value 'best_effort'; the choices are 'reliable' and 'sensor_data'"),
    std::string::npos) << program.output();
  EXPECT_EQ(program.output().find(kStartedLine), std::string::npos) << program.output();
}

}  // namespace
