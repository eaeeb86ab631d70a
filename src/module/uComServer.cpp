// In-process server plumbing: the class factory, DllCanUnloadNow's counts and self-registration.
#include <olectl.h>

#include <atomic>
#include <new>
#include <string>

#include "module/uComBridge.h"
#include "module/uComInternal.h"

namespace fr::com {

namespace {

class TComClassFactory final : public IClassFactory {
public:
    explicit TComClassFactory(TargetFactory factory) : FFactory(std::move(factory)) { objectCreated(); }
    ~TComClassFactory() { objectDestroyed(); }
    TComClassFactory(const TComClassFactory&) = delete;
    TComClassFactory& operator=(const TComClassFactory&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++FRefs; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --FRefs;
        if (left == 0) {
            std::unique_ptr<TComClassFactory> last(this);  // the last reference frees the object
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        try {
            ComPtr<IDispatch> object = createDispatchBridge(FFactory());
            if (!object) return E_UNEXPECTED;
            return object->QueryInterface(iid, out);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_UNEXPECTED;
        }
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        lockServer(lock != FALSE);
        return S_OK;
    }

private:
    std::atomic<ULONG> FRefs{1};
    TargetFactory FFactory;
};

// ---- registry ----

class RegKey {
public:
    RegKey() = default;
    ~RegKey() {
        if (FKey) RegCloseKey(FKey);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY* put() { return &FKey; }
    HKEY get() const { return FKey; }

private:
    HKEY FKey = nullptr;
};

bool setValue(const std::wstring& path, const wchar_t* name, const std::wstring& value) {
    RegKey key;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS)
        return false;
    auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes) ==
           ERROR_SUCCESS;
}

bool deleteTree(const std::wstring& path) {
    LSTATUS rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, path.c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return false;
    rc = RegDeleteKeyW(HKEY_CLASSES_ROOT, path.c_str());  // RegDeleteTree leaves the key itself
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

std::wstring clsidText(const CLSID& clsid) {
    wchar_t buf[64] = {};
    StringFromGUID2(clsid, buf, 64);
    return buf;
}

// The file of the module this library is linked into (not the host's executable).
std::wstring modulePath() {
    HMODULE self = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&modulePath), &self))
        return {};
    std::wstring buf(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(self, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return {};
        if (n < buf.size()) {
            buf.resize(n);
            return buf;
        }
        buf.resize(buf.size() * 2);
    }
}

}  // namespace

HRESULT serverGetClassObject(const ComClassInfo& cls, REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, cls.clsid)) return CLASS_E_CLASSNOTAVAILABLE;
    try {
        installSystemOleFactory();  // the driver creates its own COM collaborators by ProgID
        auto factory = std::make_unique<TComClassFactory>(cls.factory);
        ComPtr<IClassFactory> holder = ComPtr<IClassFactory>::attach(factory.release());
        return holder->QueryInterface(iid, out);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT serverCanUnloadNow() { return liveObjectCount() == 0 && serverLockCount() == 0 ? S_OK : S_FALSE; }

HRESULT serverRegister(const ComClassInfo& cls) {
    try {
        std::wstring path = modulePath();
        if (path.empty()) return SELFREG_E_CLASS;
        const std::wstring clsid = clsidText(cls.clsid);
        const std::wstring progId = cls.progId;
        const std::wstring classKey = L"CLSID\\" + clsid;
        bool ok = setValue(progId, nullptr, cls.description) && setValue(progId + L"\\CLSID", nullptr, clsid) &&
                  setValue(classKey, nullptr, cls.description) &&
                  setValue(classKey + L"\\ProgID", nullptr, progId) &&
                  setValue(classKey + L"\\InprocServer32", nullptr, path) &&
                  setValue(classKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
        return ok ? S_OK : SELFREG_E_CLASS;
    } catch (...) {
        return SELFREG_E_CLASS;
    }
}

HRESULT serverUnregister(const ComClassInfo& cls) {
    try {
        bool ok = deleteTree(L"CLSID\\" + clsidText(cls.clsid));
        ok = deleteTree(cls.progId) && ok;
        return ok ? S_OK : SELFREG_E_CLASS;
    } catch (...) {
        return SELFREG_E_CLASS;
    }
}

}  // namespace fr::com
