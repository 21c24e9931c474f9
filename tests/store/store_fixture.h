// A program folder, a folder of declarations and a work folder in a fresh
// temporary folder, with a session whose variables point at them and whose
// notices are recorded.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/os.h"
#include "platform/session.h"
#include "platform/temp_dir.h"
#include "store/notices.h"
#include "store/work_areas.h"

namespace kx::testing {

struct StoreFixture {
  explicit StoreFixture(Os& os_in = posix_os(), std::string terminal = "03") : os(os_in) {
    dir.mkdir("prog");
    dir.mkdir("data");
    dir.mkdir("work");
    session = std::make_unique<Session>(os, clock);
    set_terminal(std::move(terminal));
    Vars& v = session->vars();
    v.declare("ARQDEF", dir.file("prog") + "/");
    v.declare("ROTADOANO", dir.file("data"));
    v.declare("LOCARQ", dir.file("data") + "/");
    v.declare("LOCTRAB", dir.file("work") + "/");
    v.declare("MOS_MENS", false);
    v.declare("REFAZ_IND", false);
    v.declare("APELIDO", "");
    v.declare("TAM_OLD", 0);
    v.declare("CPF", "");
    v.declare("NOMECONTR", "");
  }
  void set_terminal(std::string t) { session->vars().declare("NUSU", std::move(t)); }

  Session& s() { return *session; }
  WorkAreas& areas() { return session->part<WorkAreas>(); }
  RecordingNotices& notices() { return session->part<StoreNotices>().recording(); }
  std::string prog(std::string_view name) const { return dir.file("prog/" + std::string(name)); }
  std::string data(std::string_view name) const { return dir.file("data/" + std::string(name)); }

  TempDir dir;
  Os& os;
  FixedClock clock{Date::from_ymd(2013, 3, 15).value()};
  std::unique_ptr<Session> session;
};

// Runs `body` in a child process; its exit status is body's result.
inline pid_t run_child(const std::function<int()>& body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body());
  return pid;
}
inline int wait_child(pid_t pid) {
  int st = 0;
  ::waitpid(pid, &st, 0);
  return WIFEXITED(st) ? WEXITSTATUS(st) : 100 + WTERMSIG(st);
}
// One-byte messages between processes.
struct Signal {
  int fd[2];
  Signal() { (void)!::pipe(fd); }
  ~Signal() { ::close(fd[0]); ::close(fd[1]); }
  void send() { (void)!::write(fd[1], "x", 1); }
  void receive() { char c; (void)!::read(fd[0], &c, 1); }
};

}  // namespace kx::testing
