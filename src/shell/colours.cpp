#include "shell/colours.h"

#include <string>

#include "platform/colour.h"
#include "platform/session.h"
#include "platform/text.h"
#include "store/lock_waits.h"
#include "store/terminal_rows.h"
#include "store/work_areas.h"

namespace kx {

bool criacor(Session& s) {
  Vars& v = s.vars();
  for (const auto& c : kAttrColours) v.set(c.name, Value(c.value));
  for (const auto& c : kStringColours) v.set(c.name, Value(std::string(c.value)));
  bool ok = ensure_terminal_row(s, 56);
  WorkAreas& areas = s.part<WorkAreas>();
  if (Area* a = ok ? areas.area(56) : nullptr) {
    for (const auto& c : kAttrColours) {
      auto f = a->get(c.name);
      if (!f.ok() || f->type() != Type::N) continue;
      const Decimal& n = f->number();
      if (n >= Decimal(0) && n <= Decimal(127) && n == Decimal(n.to_int64()))
        v.set(c.name, Value(static_cast<int>(n.to_int64())));
    }
    for (const auto& c : kStringColours) {
      auto f = a->get(c.name);
      if (!f.ok() || !f->is_text()) continue;
      const std::string text = trim(f->text());
      if (!text.empty() && parse_colour(text)) v.set(c.name, Value(text));
    }
  }
  (void)areas.close(56);
  build_colour_specs(s);
  return ok;
}

void build_colour_specs(Session& s) {
  Vars& v = s.vars();
  const std::string say = v.c("COR_SAY"), get = v.c("COR_GET");
  auto norm = [&](const std::string& standard) { return standard + "," + get + ",N/N,N/N," + say; };
  v.set("CORNORM", Value(norm(say)));
  v.set("CORLIMP", Value(norm(v.c("COR_1_CLI"))));
  v.set("CORSELE", Value(norm(v.c("COR_CLI_HE"))));
  v.set("INVISIVEL", Value("W/W,W/W,N/N,N/N,W/W"));
  v.set("CORATEN", Value("R/W*"));
  const std::string fill = v.c("COR_ENCH_C"), second = v.c("COR_2_CLI");
  v.set("CORMENU", Value(v.c("COR_1_CLI") + "," + v.c("COR_ESC_CL") + "," + fill + "," + fill + "," + second +
                         "," + second));
}

bool gravacor(Session& s) {
  if (!ensure_terminal_row(s, 56)) return false;
  WorkAreas& areas = s.part<WorkAreas>();
  Area* a = areas.area(56);
  bool ok = a && rec_lock_in(s, a, 5);
  if (ok) {
    const Vars& v = s.vars();
    std::vector<std::pair<std::string, Value>> values;
    for (const auto& c : kAttrColours) values.emplace_back(std::string(c.name), v.get(c.name));
    for (const auto& c : kStringColours) values.emplace_back(std::string(c.name), v.get(c.name));
    ok = a->replace(values).ok();
    (void)a->unlock();
  }
  (void)areas.close(56);
  return ok;
}

int ferid_for(int escol) {
  const int background = (escol / 16) % 8;
  return background == 4 ? 15 + 16 * 4 : 12 + 16 * background;
}

}  // namespace kx
