#include "store/lock_waits.h"

#include <chrono>
#include <functional>
#include <string>

#include "platform/cp850.h"
#include "platform/session.h"
#include "store/area.h"
#include "store/notices.h"
#include "store/work_areas.h"

namespace kx {
namespace {

constexpr std::chrono::milliseconds kHalfSecond{500};

struct WaitTexts {
  std::string waiting;
  std::string_view given_up;
};

// One attempt, then the waits.  `forever`: until obtained or Esc.
bool with_waits(Session& s, const std::function<Status()>& attempt, double seconds, bool forever,
                const WaitTexts& texts) {
  Notices& ui = store_notices(s);
  Status st = attempt();
  if (st.ok()) return true;
  bool waited = false;
  while (st.code() == StatusCode::Busy && (forever || seconds > 0)) {
    if (!waited) ui.bottom(texts.waiting);
    waited = true;
    if (ui.escape_within(kHalfSecond)) break;
    seconds -= 0.5;
    st = attempt();
    if (st.ok()) {
      ui.bottom("");
      return true;
    }
  }
  if (st.code() != StatusCode::Busy) ui.message(st.message());
  ui.bottom(texts.given_up);
  return false;
}

Area* current(Session& s) { return s.part<WorkAreas>().current(); }

}  // namespace

bool rec_lock(Session& s, double seconds) { return rec_lock_in(s, current(s), seconds); }
bool fil_lock(Session& s, double seconds) { return fil_lock_in(s, current(s), seconds); }
bool add_rec(Session& s, double seconds) { return add_rec_in(s, current(s), seconds); }

bool rec_lock_in(Session& s, Area* a, double seconds) {
  if (!a) return false;
  return with_waits(s, [&] { return a->lock_record(); }, seconds, false,
                    {std::string("Aguardando registro ficar disponível no arquivo "_cp) + a->alias(),
                     "ATENÇAO! Registro não ficou disponível. Dado não será gravado."_cp});
}

bool fil_lock_in(Session& s, Area* a, double seconds) {
  if (!a) return false;
  return with_waits(s, [&] { return a->lock_table(); }, seconds, seconds <= 0,
                    {std::string("Aguardando arquivo ficar disponível"_cp),
                     "ATENÇAO! Registro não ficou disponível. Dado não será gravado."_cp});
}

bool add_rec_in(Session& s, Area* a, double seconds) {
  if (!a) return false;
  return with_waits(s, [&] { return a->append_blank(); }, seconds, seconds <= 0,
                    {std::string("Aguardando registro ficar disponível"_cp),
                     "ATENÇÃO! Registro não ficou disponível. Dado não será gravado."_cp});
}

bool seek_or_append(Session& s, Area* a, const Value& key, std::string_view key_field, double seconds) {
  if (!a) return false;
  if (a->seek(key).ok() && a->found()) return rec_lock_in(s, a, seconds);
  if (!fil_lock_in(s, a, seconds)) return false;
  // Under the table lock nobody else can add the row.
  Status st = a->seek(key);
  if (st.ok() && a->found()) {
    (void)a->unlock();
    return rec_lock_in(s, a, seconds);
  }
  st = a->append_blank();
  if (st.ok()) st = a->replace(key_field, key);
  const std::uint32_t row = a->recno();
  (void)a->unlock();
  if (!st.ok()) {
    store_notices(s).message(st.message());
    return false;
  }
  if (Status g = a->go_to(row); !g.ok()) return false;
  return rec_lock_in(s, a, seconds);
}

}  // namespace kx
