// The port sources on Windows: the registry's device map, the SetupAPI pass over the Ports setup
// class, the remote-session metric, the USB printer interfaces, and opening "\\.\COMn".
#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>

#include <string>
#include <vector>

#include "ui/uPortSources.h"
#include "ui/win32/uSetupApi.h"

namespace fr::ui {

namespace {

using win32::PortsSetupApi;
using win32::TUSBSetupApiUse;

// {4D36E978-E325-11CE-BFC1-08002BE10318}: the Ports (COM & LPT) setup class.
constexpr GUID kPortsClass = {0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
// {28D78FAD-5A12-11D1-AE5B-0000F803A8C2}: GUID_DEVINTERFACE_USBPRINT.
constexpr GUID kUsbPrintInterface = {0x28D78FAD, 0x5A12, 0x11D1, {0xAE, 0x5B, 0x00, 0x00, 0xF8, 0x03, 0xA8, 0xC2}};

class TRegKey {
public:
    explicit TRegKey(HKEY key = nullptr) : FKey(key == INVALID_HANDLE_VALUE ? nullptr : key) {}
    ~TRegKey() {
        if (FKey) RegCloseKey(FKey);
    }
    TRegKey(const TRegKey&) = delete;
    TRegKey& operator=(const TRegKey&) = delete;
    HKEY get() const { return FKey; }
    HKEY* put() { return &FKey; }

private:
    HKEY FKey;
};

class TDevInfoSet {
public:
    TDevInfoSet(HDEVINFO set, decltype(&SetupDiDestroyDeviceInfoList) destroy) : FSet(set), FDestroy(destroy) {}
    ~TDevInfoSet() {
        if (valid()) FDestroy(FSet);
    }
    TDevInfoSet(const TDevInfoSet&) = delete;
    TDevInfoSet& operator=(const TDevInfoSet&) = delete;
    bool valid() const { return FSet != INVALID_HANDLE_VALUE && FSet != nullptr; }
    HDEVINFO get() const { return FSet; }

private:
    HDEVINFO FSet;
    decltype(&SetupDiDestroyDeviceInfoList) FDestroy;
};

// Narrow text in the system's code page, as SetupAPI's A functions give it.
std::u16string fromAnsi(const char* text) {
    const int n = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (n <= 1) return {};
    std::wstring w(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, w.data(), n);
    w.resize(static_cast<size_t>(n - 1));
    return std::u16string(w.begin(), w.end());
}

// A text device property read into a buffer of `size` bytes; empty when it cannot be read.
std::u16string narrowProperty(decltype(&SetupDiGetDeviceRegistryPropertyA) get, HDEVINFO set, SP_DEVINFO_DATA& device,
                              DWORD property, size_t size) {
    std::vector<char> buffer(size + 1, '\0');  // one more: the text always ends
    if (!get(set, &device, property, nullptr, reinterpret_cast<BYTE*>(buffer.data()), static_cast<DWORD>(size), nullptr))
        return {};
    return fromAnsi(buffer.data());
}

// A string value of an open key; empty when it is missing or not a string.
std::u16string stringValue(HKEY key, const wchar_t* name) {
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    std::wstring w(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(w.data()), &bytes) != ERROR_SUCCESS) return {};
    w.resize(wcsnlen(w.c_str(), w.size()));
    return std::u16string(w.begin(), w.end());
}

class TWin32PortSources final : public TPortSources {
public:
    bool IsRemoteSession() override { return GetSystemMetrics(SM_REMOTESESSION) != 0; }

    std::vector<std::u16string> DeviceMapValues(TDeviceMap map) override {
        std::vector<std::u16string> values;
        const wchar_t* path = map == TDeviceMap::dmSerial ? L"hardware\\devicemap\\serialcomm" : L"hardware\\devicemap\\parallel ports";
        TRegKey key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return values;
        DWORD count = 0, maxName = 0;
        if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &maxName, nullptr,
                             nullptr, nullptr) != ERROR_SUCCESS)
            return values;
        std::wstring name(maxName + 1, L'\0');
        for (DWORD i = 0; i < count; ++i) {
            DWORD nameLength = maxName + 1;
            if (RegEnumValueW(key.get(), i, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                continue;
            const std::u16string value = stringValue(key.get(), name.c_str());
            if (!value.empty()) values.push_back(value);
        }
        return values;
    }

    bool EnumSetupPorts(const std::function<bool(const TSetupPortDevice&)>& visit) override {
        const win32::TPortsSetupApi* api = PortsSetupApi();
        if (!api) return false;
        TDevInfoSet set(api->GetClassDevsA(&kPortsClass, nullptr, nullptr, DIGCF_PRESENT), api->DestroyDeviceInfoList);
        if (!set.valid()) return false;
        for (DWORD i = 0;; ++i) {
            SP_DEVINFO_DATA device{};
            device.cbSize = sizeof device;
            if (!api->EnumDeviceInfo(set.get(), i, &device)) break;
            if (!visit(ReadDevice(*api, set.get(), device))) break;
        }
        return true;
    }

    bool EnumUSBPrinters(const std::function<void(const TUSBInterfaceData&)>& add) override {
        TUSBSetupApiUse api;
        if (!api.Loaded()) return false;
        TDevInfoSet set(api.GetClassDevsA(&kUsbPrintInterface, nullptr, nullptr, DIGCF_DEVICEINTERFACE), api.DestroyDeviceInfoList);
        if (!set.valid()) return false;
        for (DWORD i = 0;; ++i) {
            SP_DEVICE_INTERFACE_DATA itf{};
            itf.cbSize = sizeof itf;
            if (!api.EnumDeviceInterfaces(set.get(), nullptr, &kUsbPrintInterface, i, &itf)) break;
            DWORD size = 0;
            api.GetDeviceInterfaceDetailA(set.get(), &itf, nullptr, 0, &size, nullptr);
            if (size == 0) return false;
            // DWORD-aligned, as the detail structure needs.
            std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD) + 1, 0);
            auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
            detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_A);
            SP_DEVINFO_DATA device{};
            device.cbSize = sizeof device;
            if (!api.GetDeviceInterfaceDetailA(set.get(), &itf, detail, size, nullptr, &device)) return false;
            TUSBInterfaceData d;
            d.InterfacePath = fromAnsi(detail->DevicePath);
            d.LocationInfo = narrowProperty(api.GetDeviceRegistryPropertyA, set.get(), device, SPDRP_LOCATION_INFORMATION, 4098);
            d.DeviceDesc = narrowProperty(api.GetDeviceRegistryPropertyA, set.get(), device, SPDRP_DEVICEDESC, 4098);
            if (api.GetDevNodeStatus) {
                ULONG status = 0, problem = 0;
                d.StatusRead = api.GetDevNodeStatus(&status, &problem, device.DevInst, 0) == CR_SUCCESS;
                d.Status = status;
                d.Problem = problem;
            }
            add(d);
        }
        return true;
    }

private:
    static TSetupPortDevice ReadDevice(const win32::TPortsSetupApi& api, HDEVINFO set, SP_DEVINFO_DATA& device) {
        TSetupPortDevice d;
        ULONG status = 0, problem = 0;
        d.StatusRead = CM_Get_DevNode_Status(&status, &problem, device.DevInst, 0) == CR_SUCCESS;
        if (!d.StatusRead) return d;
        {
            TRegKey classKey(api.OpenClassRegKey(&device.ClassGuid, KEY_READ));
            d.NoDisplayClass = classKey.get() &&
                               RegQueryValueExW(classKey.get(), L"NoDisplayClass", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
        }
        // Names are read as narrow text of at most 255 characters.
        d.FriendlyName = narrowProperty(api.GetDeviceRegistryPropertyA, set, device, SPDRP_FRIENDLYNAME, 256);
        d.DeviceDesc = narrowProperty(api.GetDeviceRegistryPropertyA, set, device, SPDRP_DEVICEDESC, 256);
        d.ClassName = narrowProperty(api.GetDeviceRegistryPropertyA, set, device, SPDRP_CLASS, 256);
        d.ClassGuid = narrowProperty(api.GetDeviceRegistryPropertyA, set, device, SPDRP_CLASSGUID, 256);
        TRegKey deviceKey(api.OpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE));
        if (deviceKey.get()) d.PortName = stringValue(deviceKey.get(), L"PortName");
        return d;
    }
};

class TWin32PortOpener final : public TPortOpener {
public:
    bool IsPortFree(const std::u16string& name) override {
        const std::wstring device = L"\\\\.\\" + std::wstring(name.begin(), name.end());
        HANDLE h = CreateFileW(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        CloseHandle(h);
        return true;
    }
};

}  // namespace

TPortSources& SystemPortSources() {
    static TWin32PortSources sources;
    return sources;
}

TPortOpener& SystemPortOpener() {
    static TWin32PortOpener opener;
    return opener;
}

}  // namespace fr::ui
