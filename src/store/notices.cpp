#include "store/notices.h"

#include "platform/os.h"
#include "platform/session.h"

namespace kx {

bool RecordingNotices::ask(const std::vector<std::string>& lines) {
  std::string joined;
  for (const auto& l : lines) joined += (joined.empty() ? "" : "\n") + l;
  log.push_back({"ask", joined});
  if (answers.empty()) return true;
  const bool a = answers.front();
  answers.pop_front();
  return a;
}

bool RecordingNotices::escape_within(std::chrono::milliseconds wait) {
  ++waits;
  if (escape_at_wait != 0 && waits == escape_at_wait) return true;
  os_.sleep_for(wait);
  return false;
}

bool RecordingNotices::saw(std::string_view kind, std::string_view text) const {
  for (const auto& e : log)
    if (e.kind == kind && e.text == text) return true;
  return false;
}

std::vector<std::string> RecordingNotices::texts(std::string_view kind) const {
  std::vector<std::string> out;
  for (const auto& e : log)
    if (e.kind == kind) out.push_back(e.text);
  return out;
}

StoreNotices::StoreNotices(Session& s) : recording_(s.os()) {}

Notices& store_notices(Session& s) { return s.part<StoreNotices>().get(); }

}  // namespace kx
