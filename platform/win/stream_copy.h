// Copying bytes between two C streams of regular files without passing them
// through the program: the kernel copies between the files' pages.
#pragma once

#include <cstddef>
#include <cstdio>

// Copies up to `bytes` from `from`'s position to `to`'s, leaving both streams
// after what was copied; fewer bytes when `from` ends first. -1 when the
// files cannot be copied this way (not regular files, no kernel support):
// nothing was copied then.
long long CopyStreamBytes(FILE* from, FILE* to, size_t bytes);
