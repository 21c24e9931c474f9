#include "store/dbf_tool.h"

#include <cstdio>
#include <ostream>

#include "platform/cp850.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/text.h"
#include "store/index_file.h"
#include "store/table.h"

namespace kx {
namespace {

std::string shown(std::string_view cp) {
  std::string out;
  for (char c : cp) {
    if (c == '\t') out += "\\t";
    else if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\\') out += "\\\\";
    else out += c;
  }
  return cp850::to_utf8(out);
}

std::string text_of(const dbf::FieldDef& f, const Value& v) {
  switch (v.type()) {
    case Type::N: return trim(to_field_text(v.number(), f.width, f.decimals).value_or(v.number().to_string()));
    case Type::D: return v.date().is_empty() ? std::string() : v.date().stored();
    case Type::L: return v.logical() ? "T" : "F";
    case Type::M: return shown(v.text());
    default: return shown(rtrim(v.text()));
  }
}

std::string hex2(unsigned v) {
  char b[8];
  std::snprintf(b, sizeof b, "0x%02X", v & 0xFF);
  return b;
}

}  // namespace

int dbf_dump(Os& os, const std::string& path, std::ostream& out, std::ostream& err) {
  auto t = Table::open(os, path, Share::Shared);
  if (!t.ok()) {
    err << "korvex dbf: " << cp850::to_utf8(t.status().message()) << '\n';
    return 1;
  }
  Table& table = **t;
  const dbf::Header& h = table.header();
  out << "# " << cp850::to_utf8(table.path()) << '\n'
      << "# version " << hex2(h.version) << ", updated " << (h.updated.is_empty() ? "-" : h.updated.stored())
      << ", " << table.count() << " records, header " << h.header_size << " bytes, record " << h.record_size
      << " bytes, code page " << hex2(h.code_page) << '\n';
  for (const std::string& n : table.notes()) out << "# note: " << n << '\n';
  for (const auto& f : h.fields) {
    out << "# " << f.name << ' ' << f.type << ' ' << f.width;
    if (f.type == 'N') out << ',' << f.decimals;
    out << '\n';
  }
  out << "RECNO\tDEL";
  for (const auto& f : h.fields) out << '\t' << f.name;
  out << '\n';
  for (std::uint32_t r = 1; r <= table.count(); ++r) {
    auto rec = table.read(r);
    if (!rec.ok()) {
      err << "korvex dbf: " << cp850::to_utf8(rec.status().message()) << '\n';
      return 1;
    }
    out << r << '\t' << ((*rec)[0] == dbf::kDeleted ? "*" : "");
    for (std::size_t i = 0; i < h.fields.size(); ++i) {
      auto v = table.value(*rec, i);
      if (!v.ok()) {
        err << "korvex dbf: record " << r << ": " << cp850::to_utf8(v.status().message()) << '\n';
        return 1;
      }
      out << '\t' << text_of(h.fields[i], *v);
    }
    out << '\n';
  }
  return 0;
}

int dbf_check(Os& os, const std::string& path, std::ostream& out, std::ostream& err) {
  auto t = Table::open(os, path, Share::Shared);
  if (!t.ok()) {
    err << "korvex dbf: " << cp850::to_utf8(t.status().message()) << '\n';
    return 1;
  }
  Table& table = **t;
  int problems = 0;
  auto problem = [&](const std::string& what) {
    out << "problem: " << cp850::to_utf8(what) << '\n';
    ++problems;
  };
  for (const std::string& n : table.notes()) problem(table.path() + ": " + n);
  for (std::uint32_t r = 1; r <= table.count(); ++r) {
    auto rec = table.read(r);
    if (!rec.ok()) {
      problem(rec.status().message());
      break;
    }
    if ((*rec)[0] != dbf::kLive && (*rec)[0] != dbf::kDeleted)
      problem(table.path() + ": record " + std::to_string(r) + " has no deleted flag");
    for (std::size_t i = 0; i < table.fields().size(); ++i)
      if (auto v = table.value(*rec, i); !v.ok()) problem("record " + std::to_string(r) + ": " + v.status().message());
  }
  out << "table: " << cp850::to_utf8(table.path()) << ", " << table.count() << " records\n";
  // Index files beside it: X.CDX and X<letter>.CDX.
  const std::string dir = folder_of(table.path());
  std::string base = TIRA_DIR(table.path());
  if (auto dot = base.rfind('.'); dot != std::string::npos) base.resize(dot);
  auto names = list_matching(os, dir.empty() ? "." : dir, base + "*.CDX");
  if (names.ok()) {
    for (const std::string& name : *names) {
      std::string mid = name.substr(base.size(), name.size() - base.size() - 4);
      if (mid.size() > 1 || (mid.size() == 1 && !std::isalpha(static_cast<unsigned char>(mid[0])))) continue;
      const std::string ipath = join_path(dir, name);
      auto text = IndexFile::expression_of(os, ipath);
      if (!text.ok()) {
        problem(text.status().message());
        continue;
      }
      auto expr = KeyExpr::parse(*text);
      auto key = expr.ok() ? BoundKey::bind(*expr, table.header()) : Result<BoundKey>(expr.status());
      if (!key.ok()) {
        problem(ipath + ": " + key.status().message());
        continue;
      }
      auto ix = IndexFile::open(os, ipath, *key, table);
      if (!ix.ok()) {
        problem(ix.status().message());
        continue;
      }
      if (Status s = (*ix)->check(table); !s.ok()) {
        problem(s.message());
        continue;
      }
      out << "index: " << cp850::to_utf8(ipath) << ", key " << cp850::to_utf8(*text) << ", " << (*ix)->entries()
          << " entries, ok\n";
    }
  }
  out << (problems == 0 ? "ok\n" : std::to_string(problems) + " problem(s)\n");
  return problems == 0 ? 0 : 1;
}

}  // namespace kx
