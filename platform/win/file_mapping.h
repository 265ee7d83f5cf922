// Files opened for reading and mapped into memory, under the Windows names.
// A '\' in a path separates folders, as '/' does. The handles close with
// CloseHandle (threads.h); a view stays mapped until UnmapViewOfFile, however
// its file and mapping handles are closed.
#pragma once

#include "platform/win/threads.h"
#include "platform/win/win.h"

constexpr DWORD GENERIC_READ = 0x80000000u;
constexpr DWORD FILE_SHARE_READ = 0x00000001;
constexpr DWORD OPEN_EXISTING = 3;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x00000080;
constexpr DWORD FILE_FLAG_SEQUENTIAL_SCAN = 0x08000000;
constexpr DWORD PAGE_READONLY = 0x02;
constexpr DWORD FILE_MAP_READ = 0x0004;
constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFFu;
inline const HANDLE INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

// Only GENERIC_READ of an existing file is offered; anything else fails.
HANDLE CreateFileA(const char* fileName, DWORD access, DWORD shareMode, void* security, DWORD creation,
                   DWORD flagsAndAttributes, HANDLE templateFile);
DWORD GetFileSize(HANDLE file, DWORD* sizeHigh);
// A read-only mapping of the whole file (sizes 0 and 0); null on failure.
HANDLE CreateFileMappingA(HANDLE file, void* security, DWORD protect, DWORD sizeHigh, DWORD sizeLow,
                          const char* name);
// The mapping's bytes from the offset, `bytes` long (0: to the end); null on
// failure. An empty file maps to a valid pointer to no bytes.
void* MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow, SIZE_T bytes);
BOOL UnmapViewOfFile(const void* view);
