#include "shell/shell_notices.h"

#include <memory>

#include "platform/console.h"
#include "platform/keys.h"
#include "platform/session.h"
#include "shell/messages.h"
#include "shell/windows.h"
#include "store/notices.h"

namespace kx {
namespace {

class ShellNotices final : public Notices {
 public:
  explicit ShellNotices(Session& s) : s_(s) {}
  void bottom(std::string_view text) override {
    if (text.empty()) {
      mens(s_, MensArgs{});
      return;
    }
    MensArgs a;
    a.code = 0;
    a.text = std::string(text);
    a.left = std::string("C");
    mens(s_, a);
  }
  void kept(std::string_view text) override {
    mens(s_, 3, text);
    console_of(s_).refresh();
  }
  void close_kept() override { s_.part<Windows>().close(10); }
  void message(std::string_view text) override { mens(s_, 11, text); }
  bool ask(const std::vector<std::string>& lines) override { return avisosn(s_, lines, 2).text() == "S"; }
  bool escape_within(std::chrono::milliseconds wait) override {
    const auto k = console_of(s_).wait_key(wait);
    return k && *k == key::Esc;
  }

 private:
  Session& s_;
};

}  // namespace

void install_shell_notices(Session& s) { s.part<StoreNotices>().install(std::make_unique<ShellNotices>(s)); }

}  // namespace kx
