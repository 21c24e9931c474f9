// Linux file-system numbers (statfs f_type) and whether each is a network
// or user-space file system, where locking and syncing depend on a server.

#include "platform/os.h"

namespace kx {
namespace {

struct Known {
  std::uint64_t magic;
  const char* name;
  bool network;
};

constexpr Known kKnown[] = {
    // Remote and user-space file systems.
    {0x6969, "nfs", true},
    {0x517B, "smb", true},
    {0xFF534D42, "cifs", true},
    {0xFE534D42, "smb2", true},
    {0x65735546, "fuse", true},
    {0x01021997, "9p", true},
    {0x5346414F, "afs", true},
    {0x6B414653, "afs", true},
    {0x00C36400, "ceph", true},
    {0x73757245, "coda", true},
    {0x564C, "ncp", true},
    {0x0BD00BD0, "lustre", true},
    {0x47504653, "gpfs", true},
    {0x01161970, "gfs2", true},
    {0x7461636F, "ocfs2", true},
    {0x20030528, "orangefs", true},
    // Local ones.
    {0xEF53, "ext4", false},
    {0x58465342, "xfs", false},
    {0x9123683E, "btrfs", false},
    {0x01021994, "tmpfs", false},
    {0x858458F6, "ramfs", false},
    {0x794C7630, "overlayfs", false},
    {0x4D44, "vfat", false},
    {0x2011BAB0, "exfat", false},
    {0x5346544E, "ntfs", false},
    {0x2FC12FC1, "zfs", false},
    {0xF2F52010, "f2fs", false},
    {0x9660, "iso9660", false},
    {0x15013346, "udf", false},
    {0x3153464A, "jfs", false},
    {0x52654973, "reiserfs", false},
};

}  // namespace

FsType fs_type_of_magic(std::uint64_t magic) {
  for (const auto& k : kKnown)
    if (k.magic == magic) return {magic, k.name, k.network};
  return {magic, "unknown", false};
}

}  // namespace kx
