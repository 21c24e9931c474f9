#include "store/table_ops.h"

#include "platform/cp850.h"
#include "platform/files.h"
#include "platform/text.h"

namespace kx {
namespace {

std::string type_text(const dbf::FieldDef& f) {
  std::string t(1, f.type);
  t += ' ';
  t += std::to_string(f.width);
  if (f.type == 'N') {
    t += ',';
    t += std::to_string(f.decimals);
  }
  return t;
}

}  // namespace

Status copy_structure(Area& from, const std::string& path) {
  auto t = Table::create(from.table().os(), path, from.table().fields(), Share::Exclusive);
  if (!t.ok()) return t.status();
  return (*t)->close();
}

Result<std::uint32_t> copy_rows(Area& from, const std::string& path, const RowCondition& cond) {
  auto t = Table::create(from.table().os(), path, from.table().fields(), Share::Exclusive);
  if (!t.ok()) return t.status();
  Table& out = **t;
  const bool memo = out.header().has_memo();
  std::uint32_t rows = 0;
  if (Status s = from.go_top(); !s.ok()) return s;
  for (; !from.eof(); ) {
    if (!cond || cond(from)) {
      std::string rec = from.record();
      rec[0] = dbf::kLive;
      if (memo)
        for (std::size_t i = 0; i < out.fields().size(); ++i)
          if (out.fields()[i].type == 'M') {
            auto v = from.table().value(from.record(), i);
            if (!v.ok()) return v.status();
            if (Status s = out.put(rec, i, *v); !s.ok()) return s;
          }
      auto n = out.append(rec);
      if (!n.ok()) return n.status();
      ++rows;
    }
    if (Status s = from.skip(1); !s.ok()) return s;
  }
  if (Status s = out.close(); !s.ok()) return s;
  return rows;
}

Result<Value> convert_for(const dbf::FieldDef& f, const Value& v) {
  auto bad = [&](const std::string& shown) {
    return Status(StatusCode::Invalid, "convert", f.name, 0,
                  f.name + " " + shown + " cannot become " + type_text(f));
  };
  switch (f.type) {
    case 'C': case 'M':
      switch (v.type()) {
        case Type::C: case Type::M: return Value(v.text(), f.type == 'M' ? Type::M : Type::C);
        case Type::N: return Value(v.number().to_string());
        case Type::D: return Value(v.date().stored());
        case Type::L: return Value(std::string(v.logical() ? "T" : "F"));
      }
      break;
    case 'N':
      if (v.type() == Type::N) return v;
      if (v.is_text()) {
        if (is_blank(v.text())) return Value(Decimal(0));
        if (auto d = Decimal::parse(v.text())) return Value(*d);
        return bad("\"" + rtrim(v.text()) + "\"");
      }
      return bad(v.type() == Type::D ? v.date().stored() : (v.logical() ? ".T." : ".F."));
    case 'D':
      if (v.type() == Type::D) return v;
      if (v.is_text()) {
        if (auto d = Date::parse_stored(trim(v.text()))) return Value(*d);
        if (auto d = Date::parse_dmy(trim(v.text()))) return Value(*d);
        return bad("\"" + rtrim(v.text()) + "\"");
      }
      return bad(v.type() == Type::N ? v.number().to_string() : (v.logical() ? ".T." : ".F."));
    case 'L':
      if (v.type() == Type::L) return v;
      if (v.is_text()) {
        const std::string t = trim(v.text());
        return Value(t == "T" || t == "t" || t == "S" || t == "s" || t == "Y" || t == "y");
      }
      return bad(v.type() == Type::N ? v.number().to_string() : v.date().stored());
    default:
      break;
  }
  return bad("?");
}

Result<AppendReport> append_from(Area& to, const std::string& path, const RowCondition& cond) {
  auto src = Area::open(to.table().os(), path, Share::Shared, {});
  if (!src.ok()) return src.status();
  Area& from = **src;
  from.set_hide_deleted(true);
  struct Pair {
    std::size_t from, to;
  };
  std::vector<Pair> pairs;
  for (std::size_t i = 0; i < to.table().fields().size(); ++i)
    if (auto j = from.field_index(to.table().fields()[i].name)) pairs.push_back({*j, i});
  AppendReport report;
  if (Status s = from.go_top(); !s.ok()) return s;
  for (; !from.eof();) {
    if (!cond || cond(from)) {
      std::string rec = dbf::blank_record(to.table().header());
      for (const Pair& p : pairs) {
        auto v = from.table().value(from.record(), p.from);
        const dbf::FieldDef& f = to.table().fields()[p.to];
        Status s = v.ok() ? Status() : v.status();
        if (s.ok()) {
          auto c = convert_for(f, *v);
          s = c.ok() ? to.table().put(rec, p.to, *c) : c.status();
        }
        if (!s.ok())
          report.problems.push_back("record " + std::to_string(from.recno()) + ": " + s.message());
      }
      auto n = to.append_record(rec);
      if (!n.ok()) return n.status();
      ++report.rows;
    }
    if (Status s = from.skip(1); !s.ok()) return s;
  }
  (void)to.unlock();
  if (Status s = from.close(); !s.ok()) return s;
  return report;
}

void scatter(Area& a, Vars& vars) {
  const auto& fields = a.table().fields();
  for (std::size_t i = 0; i < fields.size(); ++i) {
    auto v = a.table().value(a.record(), i);
    vars.declare(fields[i].name, v.ok() ? *v : Value::blank(static_cast<Type>(fields[i].type == 'M' ? 'M' : fields[i].type)));
  }
}

Status gather(Area& a, const Vars& vars) {
  std::vector<std::pair<std::string, Value>> values;
  for (const auto& f : a.table().fields())
    if (vars.has(f.name) && !vars.is_list(f.name)) values.emplace_back(f.name, vars.get(f.name));
  return a.replace(values);
}

// ---- Delimited text -------------------------------------------------------------

Result<std::uint32_t> copy_to_delimited(Area& from, const std::string& path, const RowCondition& cond) {
  std::string out;
  std::uint32_t rows = 0;
  const auto& fields = from.table().fields();
  if (Status s = from.go_top(); !s.ok()) return s;
  for (; !from.eof();) {
    if (!cond || cond(from)) {
      std::string line;
      bool first = true;
      for (std::size_t i = 0; i < fields.size(); ++i) {
        const dbf::FieldDef& f = fields[i];
        if (f.type == 'M') continue;
        if (!first) line += ',';
        first = false;
        auto v = from.table().value(from.record(), i);
        if (!v.ok()) return v.status();
        switch (f.type) {
          case 'N': line += trim(*to_field_text(v->number(), f.width, f.decimals)); break;
          case 'D': line += v->date().is_empty() ? std::string() : v->date().stored(); break;
          case 'L': line += v->logical() ? 'T' : 'F'; break;
          default:
            line += '"';
            line += rtrim(v->text());
            line += '"';
        }
      }
      out += line + "\r\n";
      ++rows;
    }
    if (Status s = from.skip(1); !s.ok()) return s;
  }
  if (Status s = replace_file(from.table().os(), path, out); !s.ok()) return s;
  return rows;
}

namespace {

// The values of one delimited line; nothing when the quotes do not close.
std::optional<std::vector<std::string>> split_line(std::string_view line, std::vector<bool>& quoted) {
  std::vector<std::string> values;
  quoted.clear();
  std::size_t i = 0;
  while (true) {
    std::string v;
    bool q = false;
    if (i < line.size() && line[i] == '"') {
      const std::size_t end = line.find('"', i + 1);
      if (end == std::string_view::npos) return std::nullopt;
      v = line.substr(i + 1, end - i - 1);
      q = true;
      i = end + 1;
      while (i < line.size() && line[i] == ' ') ++i;
      if (i < line.size() && line[i] != ',') return std::nullopt;
    } else {
      const std::size_t end = std::min(line.find(',', i), line.size());
      v = line.substr(i, end - i);
      i = end;
    }
    values.push_back(std::move(v));
    quoted.push_back(q);
    if (i >= line.size()) break;
    ++i;  // the comma
  }
  return values;
}

}  // namespace

Result<std::uint32_t> append_from_delimited(Area& to, const std::string& path) {
  auto text = read_file(to.table().os(), path);
  if (!text.ok()) return text.status();
  std::vector<std::size_t> columns;  // the non-memo fields, in order
  const auto& fields = to.table().fields();
  for (std::size_t i = 0; i < fields.size(); ++i)
    if (fields[i].type != 'M') columns.push_back(i);
  std::vector<std::string> records;
  std::string_view all = *text;
  std::size_t line_no = 0, at = 0;
  std::vector<bool> quoted;
  while (at < all.size()) {
    std::size_t end = all.find('\n', at);
    if (end == std::string_view::npos) end = all.size();
    std::string_view line = all.substr(at, end - at);
    at = end + 1;
    ++line_no;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty() || line == "\x1A") continue;
    auto bad = [&](const std::string& why) {
      return Status(StatusCode::Invalid, "append from", path, 0, "line " + std::to_string(line_no) + ": " + why);
    };
    auto values = split_line(line, quoted);
    if (!values) return bad("unbalanced quotes");
    if (values->size() > columns.size()) return bad("more values than fields");
    std::string rec = dbf::blank_record(to.table().header());
    for (std::size_t k = 0; k < values->size(); ++k) {
      const dbf::FieldDef& f = fields[columns[k]];
      const std::string& v = (*values)[k];
      Value value;
      switch (f.type) {
        case 'N': {
          if (is_blank(v)) { value = Value(Decimal(0)); break; }
          auto d = Decimal::parse(v);
          if (!d) return bad(f.name + " is not a number: " + v);
          value = Value(*d);
          break;
        }
        case 'D': {
          auto d = Date::parse_stored(trim(v));
          if (!d) return bad(f.name + " is not a date (yyyymmdd): " + v);
          value = Value(*d);
          break;
        }
        case 'L': {
          const std::string t = cp850::upper(trim(v));
          if (t != "T" && t != "F" && t != "S" && t != "N" && t != "Y" && !t.empty())
            return bad(f.name + " is not a logical (T/F): " + v);
          value = Value(t == "T" || t == "S" || t == "Y");
          break;
        }
        default:
          value = Value(v);
      }
      if (Status s = to.table().put(rec, columns[k], value); !s.ok()) return bad(s.message());
    }
    records.push_back(std::move(rec));
  }
  std::uint32_t rows = 0;
  for (const std::string& rec : records) {
    auto n = to.append_record(rec);
    if (!n.ok()) return n.status();
    ++rows;
  }
  (void)to.unlock();
  return rows;
}

}  // namespace kx
