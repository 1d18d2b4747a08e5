// SIGINT and SIGTERM end the program without logging inside the handler.
//
// Humble's rclcpp logs an INFO line from inside its own signal handler. When
// the signal lands on a thread that is itself logging (holding the logging
// mutexes or the stdio lock), that thread deadlocks in the handler, nothing
// shuts down, and the program never ends; later SIGTERMs are swallowed too.
// The programs therefore start rclcpp without its handlers and install these:
// the handler only posts a semaphore, and a watcher thread logs the signal
// and shuts the context down, as rclcpp's own deferred thread does.
#ifndef PROGRAM__SHUTDOWN_ON_SIGNAL_HPP_
#define PROGRAM__SHUTDOWN_ON_SIGNAL_HPP_

#include <semaphore.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <thread>

#include "rclcpp/rclcpp.hpp"

namespace align_program
{

class ShutdownOnSignal
{
public:
  ShutdownOnSignal()
  {
    sem_init(&wake(), 0, 0);
    watcher_ = std::thread([this] {watch();});
    struct sigaction action {};
    action.sa_sigaction = &ShutdownOnSignal::on_signal;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, &old_sigint_);
    sigaction(SIGTERM, &action, &old_sigterm_);
    installed_flag() = true;
  }

  ~ShutdownOnSignal()
  {
    installed_flag() = false;
    sigaction(SIGINT, &old_sigint_, nullptr);
    sigaction(SIGTERM, &old_sigterm_, nullptr);
    stopping_ = true;
    sem_post(&wake());
    watcher_.join();
    sem_destroy(&wake());
  }

  ShutdownOnSignal(const ShutdownOnSignal &) = delete;
  ShutdownOnSignal & operator=(const ShutdownOnSignal &) = delete;

  // Whether a program's handlers are in place (rclcpp's own report none).
  static bool installed() {return installed_flag();}

private:
  static std::atomic<bool> & installed_flag()
  {
    static std::atomic<bool> flag{false};
    return flag;
  }

  static sem_t & wake()
  {
    static sem_t semaphore;
    return semaphore;
  }

  static std::atomic<int> & last_signal()
  {
    static std::atomic<int> number{0};
    return number;
  }

  // Only async-signal-safe calls here.
  static void on_signal(int signal_number, siginfo_t *, void *)
  {
    const int saved_errno = errno;
    last_signal() = signal_number;
    sem_post(&wake());
    errno = saved_errno;
  }

  void watch()
  {
    while (true) {
      while (sem_wait(&wake()) != 0 && errno == EINTR) {
      }
      if (stopping_) {
        return;
      }
      RCLCPP_INFO(rclcpp::get_logger("rclcpp"), "signal_handler(signum=%d)", last_signal().load());
      rclcpp::shutdown(nullptr, "signal handler");
    }
  }

  std::atomic<bool> stopping_{false};
  std::thread watcher_;
  struct sigaction old_sigint_ {};
  struct sigaction old_sigterm_ {};
};

}  // namespace align_program

#endif  // PROGRAM__SHUTDOWN_ON_SIGNAL_HPP_
