#include "tests/support/command.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace support {
namespace {

std::vector<char*> cStrings(std::vector<std::string>& strings) {
  std::vector<char*> out;
  for (auto& s : strings) out.push_back(s.data());
  out.push_back(nullptr);
  return out;
}

// This process's environment with `extra` (NAME=value) replacing or adding.
std::vector<std::string> mergedEnvironment(const std::vector<std::string>& extra) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string entry = *e;
    std::string name = entry.substr(0, entry.find('='));
    bool replaced = false;
    for (const auto& x : extra) {
      if (x.substr(0, x.find('=')) == name) replaced = true;
    }
    if (!replaced) env.push_back(entry);
  }
  env.insert(env.end(), extra.begin(), extra.end());
  return env;
}

int decodeStatus(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace

std::string run(const std::vector<std::string>& argv, int* status) {
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    dup2(fds[1], STDOUT_FILENO);
    int devnull = open("/dev/null", O_WRONLY);
    dup2(devnull, STDERR_FILENO);
    close(fds[0]);
    close(fds[1]);
    std::vector<std::string> args = argv;
    auto cargs = cStrings(args);
    execvp(cargs[0], cargs.data());
    _exit(127);
  }
  close(fds[1]);
  std::string out;
  char buf[4096];
  ssize_t n;
  while ((n = read(fds[0], buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
  close(fds[0]);
  int raw = 0;
  waitpid(pid, &raw, 0);
  if (status) *status = decodeStatus(raw);
  return out;
}

Child::Child(const std::vector<std::string>& argv, const std::string& workdir,
             const std::vector<std::string>& env, const std::string& stdoutPath,
             const std::string& stderrPath) {
  std::vector<std::string> args = argv;
  std::vector<std::string> environment = mergedEnvironment(env);
  auto cargs = cStrings(args);
  auto cenv = cStrings(environment);
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    // The child must not outlive a test process that dies.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    setpgid(0, 0);  // its own group, so kill() also ends what it started
    int out = open(stdoutPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || chdir(workdir.c_str()) != 0) _exit(126);
    dup2(out, STDOUT_FILENO);
    close(out);
    if (!stderrPath.empty()) {
      int err = open(stderrPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (err < 0) _exit(126);
      dup2(err, STDERR_FILENO);
      close(err);
    }
    execvpe(cargs[0], cargs.data(), cenv.data());
    _exit(127);
  }
}

Child::~Child() { kill(); }

std::optional<int> Child::waitForExit(Seconds timeout) {
  if (status_) return status_;
  bool ended = waitUntil(
      [&] {
        int raw = 0;
        if (waitpid(pid_, &raw, WNOHANG) == pid_) {
          status_ = decodeStatus(raw);
          return true;
        }
        return false;
      },
      timeout);
  return ended ? status_ : std::nullopt;
}

bool Child::running() { return !waitForExit(Seconds(0)).has_value(); }

void Child::kill() {
  if (pid_ > 0 && running()) {
    ::kill(-pid_, SIGKILL);
    ::kill(pid_, SIGKILL);
    int raw = 0;
    waitpid(pid_, &raw, 0);
    status_ = decodeStatus(raw);
  }
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace support
