#pragma once

namespace velmora {

// Gives the entry `from` of folder `from_dir` the name `to` in `to_dir`,
// never replacing an entry that exists: renameat2(RENAME_NOREPLACE) where
// the file system has it, and where it is refused (FUSE file systems: NTFS,
// exFAT, FAT, GVfs, sshfs answer EINVAL) a placeholder under `to` that
// only this call can have made, checked by identity right before a plain
// rename over it. Returns 0, or the errno of the failure (EEXIST when `to`
// is taken).
int RenameNoReplace(int from_dir, const char* from, int to_dir, const char* to);

}  // namespace velmora
