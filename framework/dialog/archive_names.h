// Which stored names a pack archive may write: only files inside the current
// folder.
#pragma once

#include <string>

// The stored name (Shift-JIS, '\' or '/' between folders; a '\' that is the
// second byte of a double-byte character is not a separator) as a relative
// path with '/' separators, or false when the name is empty, absolute,
// rooted by a backslash, holds a drive letter or a ".." component, or
// contains a zero byte.
bool ArchiveNameToPath(const char* name, int length, std::string* path);
// Creates the folders the path needs inside the current folder (as far as it
// can). False when an existing folder on the way, or the file itself, is a
// symbolic link that leads outside the current folder.
bool PrepareArchiveOutput(const std::string& path);
