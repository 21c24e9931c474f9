// Where the locks of tables and index files lie: one table, far above any
// data, so a server that enforces byte-range locks never makes another
// terminal's read of real data fail.  Open-file-description locks (see
// File::lock): they belong to the open file, vanish with it (also when the
// process is killed) and are never inherited by started programs.
// docs/LOCKS.md describes the protocol around them.
#pragma once

#include <cstdint>

namespace kx::locks {

// 2^62: beyond every real file; within the signed 64-bit offsets of the system.
inline constexpr std::uint64_t kBase = std::uint64_t{1} << 62;

// ---- .DBF ---------------------------------------------------------------
// Shared by every terminal that has the table open shared; exclusive for an
// exclusive opening (so an exclusive open fails while anyone has it open,
// and a shared open fails while someone has it exclusively).
inline constexpr std::uint64_t kOpen = kBase;
inline constexpr std::uint64_t kOpenLength = 1;
// Exclusive for the moment of adding a record: the count is read, the record
// and the header written, the indexes updated, then it is released.  Held
// only inside the engine, never while a caller waits.
inline constexpr std::uint64_t kAppend = kBase + 1;
inline constexpr std::uint64_t kAppendLength = 1;
// Record n (1-based) is the byte kRecords + n.  The table lock is the whole
// range, so it conflicts with every record lock and the other way round.
inline constexpr std::uint64_t kRecords = kBase + 0x100;
inline constexpr std::uint64_t kRecordsLength = std::uint64_t{1} << 32;
constexpr std::uint64_t record(std::uint32_t recno) { return kRecords + recno; }

// ---- index files ----------------------------------------------------------
// Shared while pages are read, exclusive while they are changed (with the
// header's change counter bumped before release).
inline constexpr std::uint64_t kIndex = kBase;
inline constexpr std::uint64_t kIndexLength = 1;

}  // namespace kx::locks
