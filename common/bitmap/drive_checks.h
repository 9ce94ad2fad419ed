// The two checks that guard opening and saving: the file must be on a fixed
// disk, and a save needs the byte count plus a margin free on its drive.
// They only answer; the caller chooses the message.
#pragma once

#include <cstdint>

// rootPath: drive letter, colon, backslash ("C:\").
bool IsFixedDisk(const char* rootPath);

// True when the drive has at least n + 1000 bytes free for this user, n being
// the byte size of the file to be written (the source file's real size). A
// drive that cannot be asked by either query has no room.
bool HasFreeSpace(const char* rootPath, uint64_t n);
