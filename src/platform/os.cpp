#include "platform/os.h"

#include "platform/cp850.h"

namespace kx {

Status File::read_exact(std::uint64_t offset, void* buf, std::size_t size) {
  auto got = read_at(offset, buf, size);
  if (!got.ok()) return got.status();
  if (*got != size)
    return Status(StatusCode::Corruption, "read", path(), 0,
                  std::string("fim inesperado do arquivo na posição "_cp) + std::to_string(offset + *got));
  return {};
}

Result<ExitStatus> Os::run(const SpawnRequest& request) {
  auto pid = spawn(request);
  if (!pid.ok()) return pid.status();
  return wait(*pid);
}

}  // namespace kx
