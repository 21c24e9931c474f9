// What the table procedures tell the user, and the key they watch for.
//
// The store sits below the window layer, so it speaks through this small
// interface: the shell installs an implementation drawing with its MENS and
// AVISOSN at start-up; until then (and in the store's tests) a recording
// implementation keeps every notice in a log, answers questions from a
// queue and sleeps on the Os for the waits.  A session part:
// store_notices(session).
#pragma once

#include <chrono>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace kx {

class Os;
class Session;

class Notices {
 public:
  virtual ~Notices() = default;
  // A notice centred on the bottom row; "" blanks the row.
  virtual void bottom(std::string_view text) = 0;
  // The kept message window: the text stays shown until close_kept().
  virtual void kept(std::string_view text) = 0;
  virtual void close_kept() = 0;
  // A message box that waits for a key.
  virtual void message(std::string_view text) = 0;
  // A Sim/Não question; true for Sim.
  virtual bool ask(const std::vector<std::string>& lines) = 0;
  // Waits up to `wait` (the half second between lock attempts); true when
  // Esc was pressed meanwhile, which ends the wait at once.
  virtual bool escape_within(std::chrono::milliseconds wait) = 0;
};

class RecordingNotices final : public Notices {
 public:
  struct Entry {
    std::string kind;  // "bottom", "kept", "close", "message", "ask"
    std::string text;  // the lines of a question joined by '\n'
  };
  explicit RecordingNotices(Os& os) : os_(os) {}

  void bottom(std::string_view text) override { log.push_back({"bottom", std::string(text)}); }
  void kept(std::string_view text) override { log.push_back({"kept", std::string(text)}); }
  void close_kept() override { log.push_back({"close", {}}); }
  void message(std::string_view text) override { log.push_back({"message", std::string(text)}); }
  bool ask(const std::vector<std::string>& lines) override;
  bool escape_within(std::chrono::milliseconds wait) override;

  // Whether a notice of this kind with exactly this text was given.
  bool saw(std::string_view kind, std::string_view text) const;
  // The texts of one kind, in order.
  std::vector<std::string> texts(std::string_view kind) const;

  std::vector<Entry> log;
  std::deque<bool> answers;  // for ask(); Sim when empty
  int escape_at_wait = 0;    // Esc "pressed" during that wait (1-based; 0 never)
  int waits = 0;

 private:
  Os& os_;
};

// The session's notices: the installed implementation, or the recording one.
class StoreNotices {
 public:
  explicit StoreNotices(Session& s);
  Notices& get() { return installed_ ? *installed_ : recording_; }
  void install(std::unique_ptr<Notices> n) { installed_ = std::move(n); }
  RecordingNotices& recording() { return recording_; }

 private:
  RecordingNotices recording_;
  std::unique_ptr<Notices> installed_;
};

Notices& store_notices(Session& s);

}  // namespace kx
