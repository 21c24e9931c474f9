#include "platform/status.h"

#include <cerrno>
#include <cstring>

#include "platform/cp850.h"

namespace kx {

std::string_view to_string(StatusCode code) {
  switch (code) {
    case StatusCode::Ok: return "Ok";
    case StatusCode::NotFound: return "NotFound";
    case StatusCode::Exists: return "Exists";
    case StatusCode::Busy: return "Busy";
    case StatusCode::Corruption: return "Corruption";
    case StatusCode::IoError: return "IoError";
    case StatusCode::NoSpace: return "NoSpace";
    case StatusCode::Denied: return "Denied";
    case StatusCode::Invalid: return "Invalid";
  }
  return "?";
}

namespace {

std::string_view user_text(StatusCode code) {
  switch (code) {
    case StatusCode::Ok: return "";
    case StatusCode::NotFound: return "não encontrado"_cp;
    case StatusCode::Exists: return "já existe"_cp;
    case StatusCode::Busy: return "em uso por outro terminal";
    case StatusCode::Corruption: return "arquivo danificado";
    case StatusCode::IoError: return "erro de leitura ou gravação"_cp;
    case StatusCode::NoSpace: return "disco cheio";
    case StatusCode::Denied: return "acesso negado";
    case StatusCode::Invalid: return "caminho ou argumento inválido"_cp;
  }
  return "";
}

}  // namespace

Status::Status(StatusCode code, std::string op, std::string path, int os_error, std::string text)
    : code_(code), os_error_(os_error), op_(std::move(op)), path_(std::move(path)),
      text_(std::move(text)) {}

StatusCode Status::code_of_errno(int err) {
  switch (err) {
    case 0: return StatusCode::Ok;
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV:
      return StatusCode::NotFound;
    case EEXIST:
    case ENOTEMPTY:
      return StatusCode::Exists;
    case EBUSY:
    case ETXTBSY:
    case EAGAIN:
      return StatusCode::Busy;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return StatusCode::NoSpace;
    case EACCES:
    case EPERM:
    case EROFS:
      return StatusCode::Denied;
    case EINVAL:
    case EBADF:
    case EISDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EXDEV:
      return StatusCode::Invalid;
    default:
      return StatusCode::IoError;
  }
}

Status Status::from_errno(int err, std::string op, std::string path) {
  StatusCode code = code_of_errno(err);
  if (code == StatusCode::Ok) code = StatusCode::IoError;  // a failure without errno
  return Status(code, std::move(op), std::move(path), err);
}

std::string Status::message() const {
  if (ok()) return {};
  std::string out;
  if (!op_.empty()) out += op_;
  if (!path_.empty()) {
    if (!out.empty()) out += ' ';
    out += '"' + path_ + '"';
  }
  if (!out.empty()) out += ": ";
  out += text_.empty() ? std::string(user_text(code_)) : text_;
  if (os_error_ != 0) {
    const char* name = strerrorname_np(os_error_);
    out += " (";
    out += name ? name : "errno " + std::to_string(os_error_);
    out += ')';
  }
  return out;
}

std::ostream& operator<<(std::ostream& os, StatusCode c) { return os << to_string(c); }

std::ostream& operator<<(std::ostream& os, const Status& s) {
  if (s.ok()) return os << "Ok";
  return os << s.code() << ": " << cp850::to_utf8(s.message());
}

}  // namespace kx
