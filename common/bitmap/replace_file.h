// A file written so that it replaces its target only when complete: the bytes
// go to a new file reserved beside the target (same folder, so the final move
// is a rename on one drive), which takes the target's place only after every
// write and the close succeeded. A failure leaves the target as it was.
#pragma once

#include <cstdio>
#include <string>

// False when the target is a read-only file or a folder, which the move
// would not refuse everywhere.
bool TargetCanBeReplaced(const char* targetPath);

// Reserves a new, empty file beside the target and returns its path, or ""
// when none can be made (a missing folder, a full or read-only drive). Its
// name says whose it is and that it may go ("~KESTRO98-f82a.tmp"); where the
// path has no room for that, a shorter one down to "~f82a", which is no
// longer than a picture's name with its extension, so it fits wherever the
// target does. It is never a file that was there before.
std::string ReserveTemporaryBeside(const char* targetPath);
// The same file made and opened for writing and reading back ("w+b") in one
// step; its path in *path. Null when none can be made or opened (nothing is
// left behind then).
FILE* OpenTemporaryBeside(const char* targetPath, std::string* path);

// Moves the complete temporary file over the target; on failure the
// temporary file is removed and the target is left as it was.
bool ReplaceWithTemporary(const std::string& temporary, const char* targetPath);
