// Runs the align_node program itself to check how it starts and ends.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

extern char ** environ;

namespace
{

// The program as a child process whose stdout and stderr end in one pipe.
class ChildProgram
{
public:
  explicit ChildProgram(std::vector<std::string> arguments)
  {
    int pipe_ends[2];
    if (pipe(pipe_ends) != 0) {
      return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDERR_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipe_ends[0]);

    arguments.insert(arguments.begin(), ALIGN_NODE_BINARY);
    std::vector<char *> argv;
    for (auto & argument : arguments) {
      argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, ALIGN_NODE_BINARY, &actions, nullptr, argv.data(), environ) != 0) {
      pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(pipe_ends[1]);
    output_fd_ = pipe_ends[0];
    fcntl(output_fd_, F_SETFL, O_NONBLOCK);
  }

  ~ChildProgram()
  {
    if (pid_ > 0 && !status_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
    if (output_fd_ >= 0) {
      close(output_fd_);
    }
  }

  bool started() const {return pid_ > 0;}
  void signal(int number) {kill(pid_, number);}
  const std::string & output() const {return output_;}

  // Reads output until it contains `text` or the timeout passes.
  bool wait_for_output(const std::string & text, std::chrono::seconds timeout)
  {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (output_.find(text) == std::string::npos) {
      if (std::chrono::steady_clock::now() >= deadline) {
        return false;
      }
      pollfd descriptor{output_fd_, POLLIN, 0};
      if (poll(&descriptor, 1, 50) > 0) {
        read_available();
      }
    }
    return true;
  }

  // Waits for the exit; empty when the program is still running at the timeout.
  std::optional<int> wait_for_exit(std::chrono::seconds timeout)
  {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!status_ && std::chrono::steady_clock::now() < deadline) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        status_ = status;
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
      read_available();
    }
    return status_;
  }

private:
  void read_available()
  {
    char buffer[4096];
    ssize_t count = 0;
    while ((count = read(output_fd_, buffer, sizeof(buffer))) > 0) {
      output_.append(buffer, static_cast<std::size_t>(count));
    }
  }

  pid_t pid_ = -1;
  int output_fd_ = -1;
  std::string output_;
  std::optional<int> status_;
};

TEST(AlignNodeProgram, SpinsUntilSigintAndExitsWithZero)
{
  ChildProgram program({});
  ASSERT_TRUE(program.started());
  ASSERT_TRUE(program.wait_for_output("Enable signal default to TRUE when test.", std::chrono::seconds(30)))
    << program.output();
  // Still running: it spins instead of returning after construction.
  EXPECT_FALSE(program.wait_for_exit(std::chrono::seconds(1)).has_value());

  program.signal(SIGINT);
  const auto status = program.wait_for_exit(std::chrono::seconds(30));
  ASSERT_TRUE(status.has_value()) << program.output();
  ASSERT_TRUE(WIFEXITED(*status)) << program.output();
  EXPECT_EQ(WEXITSTATUS(*status), 0);
}

TEST(AlignNodeProgram, WrongTypedOverrideEndsWithoutSpinning)
{
  ChildProgram program({"--ros-args", "-p", "max_range:=2"});
  ASSERT_TRUE(program.started());
  // No signal is sent: the program has to end by itself.
  const auto status = program.wait_for_exit(std::chrono::seconds(30));
  ASSERT_TRUE(status.has_value()) << program.output();
  ASSERT_TRUE(WIFEXITED(*status)) << program.output();
  EXPECT_NE(WEXITSTATUS(*status), 0);
  EXPECT_NE(program.output().find("max_range"), std::string::npos) << program.output();
  EXPECT_EQ(program.output().find("Enable signal default to TRUE when test."), std::string::npos);
}

// The same refusal as align_feature_node's (FeatureProgram test of the same
// name): one FATAL line naming the parameter and its value, status 1.
TEST(AlignNodeProgram, IntegerOverrideOutside32BitsEndsItBeforeSpinning)
{
  ChildProgram program({"--ros-args", "-p", "min_points_per_line:=4294967301"});
  ASSERT_TRUE(program.started());
  const auto status = program.wait_for_exit(std::chrono::seconds(30));
  ASSERT_TRUE(status.has_value()) << program.output();
  ASSERT_TRUE(WIFEXITED(*status)) << program.output();
  EXPECT_EQ(WEXITSTATUS(*status), 1);
  const std::string line =
    "[align_node]: parameter 'min_points_per_line' does not fit a 32-bit integer: 4294967301\n";
  const std::size_t at = program.output().find(line);
  ASSERT_NE(at, std::string::npos) << program.output();
  EXPECT_EQ(program.output().rfind("[FATAL] [", at), program.output().rfind('\n', at) + 1) << program.output();
  EXPECT_EQ(program.output().find("Enable signal default to TRUE when test."), std::string::npos);
}

TEST(AlignNodeProgram, UnknownScanQosEndsWithAFatalLineAndStatusOne)
{
  ChildProgram program({"--ros-args", "-p", "scan_qos:=best_effort"});
  ASSERT_TRUE(program.started());
  const auto status = program.wait_for_exit(std::chrono::seconds(30));
  ASSERT_TRUE(status.has_value()) << program.output();
  ASSERT_TRUE(WIFEXITED(*status)) << program.output();
  EXPECT_EQ(WEXITSTATUS(*status), 1);
  EXPECT_NE(program.output().find("[FATAL]"), std::string::npos) << program.output();
  EXPECT_NE(
    program.output().find(
      "parameter 'scan_qos' has the value 'best_effort'; the choices are 'reliable' and 'sensor_data'"),
    std::string::npos) << program.output();
  EXPECT_EQ(program.output().find("Enable signal default to TRUE when test."), std::string::npos);
}

}  // namespace
