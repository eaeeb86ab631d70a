#pragma once
// Owning COM interface pointer: one reference, released when the holder goes.
#include <objbase.h>

#include <utility>

namespace fr::com {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    // Takes over a reference the caller already owns.
    static ComPtr attach(T* p) {
        ComPtr c;
        c.FPtr = p;
        return c;
    }
    // Adds a reference of its own.
    static ComPtr share(T* p) {
        if (p) p->AddRef();
        return attach(p);
    }
    ComPtr(const ComPtr& o) : FPtr(o.FPtr) {
        if (FPtr) FPtr->AddRef();
    }
    ComPtr(ComPtr&& o) noexcept : FPtr(std::exchange(o.FPtr, nullptr)) {}
    ComPtr& operator=(ComPtr o) noexcept {
        std::swap(FPtr, o.FPtr);
        return *this;
    }
    ~ComPtr() { reset(); }

    void reset() {
        if (FPtr) std::exchange(FPtr, nullptr)->Release();
    }
    T* get() const { return FPtr; }
    T* operator->() const { return FPtr; }
    explicit operator bool() const { return FPtr != nullptr; }
    // For out-parameters of COM calls: releases what is held first.
    T** put() {
        reset();
        return &FPtr;
    }
    // Hands the reference to the caller.
    T* detach() { return std::exchange(FPtr, nullptr); }

    template <class U>
    ComPtr<U> query(REFIID iid) const {
        ComPtr<U> out;
        if (FPtr) FPtr->QueryInterface(iid, reinterpret_cast<void**>(out.put()));
        return out;
    }

private:
    T* FPtr = nullptr;
};

}  // namespace fr::com
