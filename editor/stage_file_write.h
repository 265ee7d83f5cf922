// Writing one stage file so that a crash or a power cut never leaves it torn,
// through the platform's file calls, and tidying what an interrupted save left
// behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Puts the bytes in the file at path. Where it can, the file is written
// completely beside its target and renamed into place, and the folder is
// flushed, so the file is always the complete old or the complete new one.
// Where the replace cannot work the file is written in place (truncated,
// written, flushed), as opening it for writing would: in a read-only folder
// whose files are writable, through a dangling symbolic link, and for a file
// with several hard links, which must all see the new contents. A symbolic
// link is followed to its target; the file's permission bits are kept. A file
// that cannot be written stays as it was, and the debug log names it and says
// why. True when the file holds the bytes.
bool WriteStageFile(const std::string& path, const uint8_t* bytes, size_t size);

// Removes the temporary files an interrupted WriteStageFile left in folder:
// only names of exactly the form ".stage-XXXXXX" (six letters or digits).
void RemoveStaleStageTemporaries(const std::string& folder);
