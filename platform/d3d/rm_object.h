// What every retained-mode object shares: a reference count (Counted: the
// object deletes itself at zero) and a name. QueryInterface answers for the object's
// own interfaces, which the concrete class lists.
#pragma once

#include <cstring>
#include <string>

#include "platform/d3d/d3d.h"
#include "platform/ddraw/ddraw_objects.h"

template <typename Interface>
class RmObject : public Counted<Interface> {
public:
    HRESULT QueryInterface(const GUID& iid, void** object) override {
        if (!object) return D3DRMERR_BADVALUE;
        *object = Answers(iid) ? this : nullptr;
        if (!*object) return E_NOINTERFACE;
        this->AddRef();
        return D3DRM_OK;
    }
    HRESULT SetName(const char* name) override {
        name_ = name ? name : "";
        return D3DRM_OK;
    }
    HRESULT GetName(DWORD* size, char* name) override {
        if (!size) return D3DRMERR_BADVALUE;
        const DWORD needed = static_cast<DWORD>(name_.size() + 1);
        if (name) {
            if (*size < needed) return D3DRMERR_BADVALUE;
            std::memcpy(name, name_.c_str(), needed);
        }
        *size = needed;
        return D3DRM_OK;
    }
    const std::string& Name() const { return name_; }

protected:
    // The interfaces besides the object's own class that QueryInterface gives.
    virtual bool Answers(const GUID&) const { return false; }

private:
    std::string name_;
};

// Holds one reference to a COM-style object and gives it back when done.
template <typename T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* adopted) : object_(adopted) {}
    Ref(const Ref& other) : object_(other.object_) {
        if (object_) object_->AddRef();
    }
    Ref& operator=(Ref other) {
        std::swap(object_, other.object_);
        return *this;
    }
    ~Ref() {
        if (object_) object_->Release();
    }
    static Ref Share(T* object) {
        if (object) object->AddRef();
        return Ref(object);
    }
    T* get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};
