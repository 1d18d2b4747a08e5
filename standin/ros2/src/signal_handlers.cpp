// SIGINT / SIGTERM handling. The handler only writes one byte to a pipe
// (async-signal-safe); a watcher thread reads it and shuts the contexts
// down, which may lock mutexes and run arbitrary callbacks.
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <thread>

#include "rclcpp/context.hpp"
#include "rclcpp/utilities.hpp"

namespace rclcpp
{

namespace
{

constexpr char kSignalByte = 's';
constexpr char kStopByte = 'q';

// Read by the handler, so it must be lock-free.
std::atomic<int> g_wake_write_fd{-1};
static_assert(std::atomic<int>::is_always_lock_free, "signal handler needs a lock-free fd");

struct sigaction g_old_sigint_action;
struct sigaction g_old_sigterm_action;

void chain_to_previous(const struct sigaction & previous, int signal_number, siginfo_t * info,
  void * context)
{
  if (previous.sa_flags & SA_SIGINFO) {
    if (previous.sa_sigaction != nullptr) {
      previous.sa_sigaction(signal_number, info, context);
    }
  } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN &&  // NOLINT
    previous.sa_handler != nullptr)
  {
    previous.sa_handler(signal_number);
  }
}

void on_signal(int signal_number, siginfo_t * info, void * context)
{
  const int saved_errno = errno;
  const int fd = g_wake_write_fd.load();
  if (fd >= 0) {
    const char byte = kSignalByte;
    const ssize_t written = ::write(fd, &byte, 1);
    (void)written;
  }
  chain_to_previous(
    signal_number == SIGINT ? g_old_sigint_action : g_old_sigterm_action,
    signal_number, info, context);
  errno = saved_errno;
}

void shut_down_contexts_for_signal()
{
  for (const auto & context : get_contexts()) {
    if (context->get_init_options().shutdown_on_signal) {
      context->shutdown("signal handler");
    }
  }
}

class SignalHandlers
{
public:
  SignalHandlers()
  {
    // Constructing the context list first makes it outlive this object.
    (void)get_contexts();
  }
  ~SignalHandlers() {uninstall();}

  bool install(SignalHandlerOptions options)
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (installed_) {
      return false;
    }
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
      return false;
    }
    read_fd_ = fds[0];
    write_fd_ = fds[1];
    g_wake_write_fd.store(write_fd_);
    watcher_ = std::thread([read_fd = read_fd_] {watch(read_fd);});
    options_ = options;
    set_handler(SIGINT, options == SignalHandlerOptions::All ||
      options == SignalHandlerOptions::SigInt, g_old_sigint_action);
    set_handler(SIGTERM, options == SignalHandlerOptions::All ||
      options == SignalHandlerOptions::SigTerm, g_old_sigterm_action);
    installed_ = true;
    return true;
  }

  bool uninstall()
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!installed_) {
      return false;
    }
    restore_handler(SIGINT, options_ == SignalHandlerOptions::All ||
      options_ == SignalHandlerOptions::SigInt, g_old_sigint_action);
    restore_handler(SIGTERM, options_ == SignalHandlerOptions::All ||
      options_ == SignalHandlerOptions::SigTerm, g_old_sigterm_action);
    g_wake_write_fd.store(-1);
    const char byte = kStopByte;
    while (::write(write_fd_, &byte, 1) < 0 && errno == EINTR) {}
    // A shutdown callback running on the watcher may land here.
    if (watcher_.get_id() == std::this_thread::get_id()) {
      watcher_.detach();
    } else {
      watcher_.join();
    }
    ::close(write_fd_);
    ::close(read_fd_);
    read_fd_ = write_fd_ = -1;
    installed_ = false;
    return true;
  }

  bool installed()
  {
    std::lock_guard<std::mutex> lock(mutex_);
    return installed_;
  }

  SignalHandlerOptions options()
  {
    std::lock_guard<std::mutex> lock(mutex_);
    return installed_ ? options_ : SignalHandlerOptions::None;
  }

private:
  static void watch(int read_fd)
  {
    for (;;) {
      char byte = 0;
      const ssize_t count = ::read(read_fd, &byte, 1);
      if (count < 0 && errno == EINTR) {
        continue;
      }
      if (count <= 0 || byte == kStopByte) {
        return;
      }
      shut_down_contexts_for_signal();
    }
  }

  static void set_handler(int signal_number, bool wanted, struct sigaction & previous)
  {
    if (!wanted) {
      return;
    }
    struct sigaction action {};
    action.sa_sigaction = &on_signal;
    action.sa_flags = SA_SIGINFO | SA_RESTART;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal_number, &action, &previous);
  }

  static void restore_handler(int signal_number, bool wanted, const struct sigaction & previous)
  {
    if (wanted) {
      ::sigaction(signal_number, &previous, nullptr);
    }
  }

  std::mutex mutex_;
  bool installed_ = false;
  SignalHandlerOptions options_ = SignalHandlerOptions::None;
  int read_fd_ = -1;
  int write_fd_ = -1;
  std::thread watcher_;
};

SignalHandlers & signal_handlers()
{
  static SignalHandlers handlers;
  return handlers;
}

}  // namespace

bool install_signal_handlers(SignalHandlerOptions signal_handler_options)
{
  if (signal_handler_options == SignalHandlerOptions::None) {
    return false;
  }
  return signal_handlers().install(signal_handler_options);
}

bool signal_handlers_installed()
{
  return signal_handlers().installed();
}

SignalHandlerOptions get_current_signal_handler_options()
{
  return signal_handlers().options();
}

bool uninstall_signal_handlers()
{
  return signal_handlers().uninstall();
}

}  // namespace rclcpp
