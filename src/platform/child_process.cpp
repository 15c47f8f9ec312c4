#include "platform/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>

extern char** environ;

namespace velnor {
namespace {

// Standard error of a child is for the report only: a child that floods it keeps its
// last words, which name what went wrong.
constexpr std::size_t kErrorOutputKept = 8192;

class Pipe {
 public:
  Pipe() {
    if (::pipe2(fds_.data(), O_CLOEXEC) != 0) fds_ = {-1, -1};
  }
  ~Pipe() {
    CloseRead();
    CloseWrite();
  }
  Pipe(const Pipe&) = delete;
  Pipe& operator=(const Pipe&) = delete;

  bool ok() const { return fds_[0] >= 0; }
  int read() const { return fds_[0]; }
  int write() const { return fds_[1]; }
  void CloseRead() { Close(fds_[0]); }
  void CloseWrite() { Close(fds_[1]); }

 private:
  static void Close(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
  std::array<int, 2> fds_{-1, -1};
};

// Reads what is there; false at the end of the stream.
bool Drain(int fd, std::string& into, std::size_t keep) {
  char buffer[65536];
  const ssize_t got = ::read(fd, buffer, sizeof buffer);
  if (got < 0) return errno == EINTR || errno == EAGAIN;
  if (got == 0) return false;
  into.append(buffer, static_cast<std::size_t>(got));
  if (keep > 0 && into.size() > keep) into.erase(0, into.size() - keep);
  return true;
}

}  // namespace

std::string ChildOutcome::Describe() const {
  if (!started) return "could not be started: " + error;
  if (timedOut) return "gave no answer within the time limit and was stopped";
  if (exited) return "exit status " + std::to_string(exitStatus);
  return "ended by signal " + std::to_string(signal) + " (" + ::strsignal(signal) + ")";
}

ChildOutcome RunChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                             std::chrono::milliseconds timeLimit) {
  ChildOutcome outcome;
  Pipe out;
  Pipe err;
  if (!out.ok() || !err.ok()) {
    outcome.error = std::string("no pipe: ") + std::strerror(errno);
    return outcome;
  }

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out.write(), 1);
  posix_spawn_file_actions_adddup2(&actions, err.write(), 2);
  // The child gets its own process group, so that a kill reaches whatever it starts.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attributes, 0);

  std::vector<std::string> texts{program};
  texts.insert(texts.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& text : texts) argv.push_back(text.data());
  argv.push_back(nullptr);

  pid_t pid = -1;
  const int rc = ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  out.CloseWrite();
  err.CloseWrite();
  if (rc != 0) {
    outcome.error = program + ": " + std::strerror(rc);
    return outcome;
  }
  outcome.started = true;

  const auto deadline = std::chrono::steady_clock::now() + timeLimit;
  bool outOpen = true;
  bool errOpen = true;
  int status = 0;
  bool reaped = false;
  while (!reaped) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      ::kill(-pid, SIGKILL);
      ::kill(pid, SIGKILL);
      outcome.timedOut = true;
      while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
      }
      return outcome;
    }
    if (outOpen || errOpen) {
      std::array<pollfd, 2> fds{pollfd{outOpen ? out.read() : -1, POLLIN, 0},
                                pollfd{errOpen ? err.read() : -1, POLLIN, 0}};
      // A short wait: a child that closes its output without ending is checked on.
      const int ready =
          ::poll(fds.data(), fds.size(), static_cast<int>(std::min<long long>(left.count(), 50)));
      if (ready > 0) {
        if (fds[0].revents != 0) outOpen = Drain(out.read(), outcome.output, 0);
        if (fds[1].revents != 0) errOpen = Drain(err.read(), outcome.errorOutput, kErrorOutputKept);
      }
    } else {
      ::usleep(2000);
    }
    const pid_t done = ::waitpid(pid, &status, WNOHANG);
    // Whatever the child wrote before it ended is still read to the end below.
    if (done == pid) reaped = true;
  }
  while (outOpen && Drain(out.read(), outcome.output, 0)) {
  }
  while (errOpen && Drain(err.read(), outcome.errorOutput, kErrorOutputKept)) {
  }
  if (WIFEXITED(status)) {
    outcome.exited = true;
    outcome.exitStatus = WEXITSTATUS(status);
  } else if (WIFSIGNALED(status)) {
    outcome.signal = WTERMSIG(status);
  }
  return outcome;
}

}  // namespace velnor
