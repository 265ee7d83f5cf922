// What a HANDLE names: every kernel object the platform hands out (files,
// file mappings, ...) derives from KernelObject and is registered, so that
// CloseHandle releases any of them and a stale or made-up handle is refused.
#pragma once

#include "platform/win/win.h"

class KernelObject {
public:
    virtual ~KernelObject() = default;
};

// Takes ownership of the object and gives its handle.
HANDLE RegisterKernelObject(KernelObject* object);
// The live object a handle names, or null.
KernelObject* LookUpKernelObject(HANDLE handle);
