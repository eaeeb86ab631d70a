#pragma once
// Scripted port sources and open test for the picker's tests.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "ui/uPortSources.h"

namespace fr::ui::test {

class FakePortSources : public TPortSources {
public:
    bool remote = false;
    std::vector<std::u16string> serialMap, parallelMap;
    bool setupAvailable = true;
    std::vector<TSetupPortDevice> devices;
    int devicesVisited = 0;
    std::vector<TUSBInterfaceData> usb;
    int usbFailAt = -1;  // the detail call of this interface fails

    bool IsRemoteSession() override { return remote; }
    std::vector<std::u16string> DeviceMapValues(TDeviceMap map) override {
        return map == TDeviceMap::dmSerial ? serialMap : parallelMap;
    }
    bool EnumSetupPorts(const std::function<bool(const TSetupPortDevice&)>& visit) override {
        if (!setupAvailable) return false;
        for (const TSetupPortDevice& d : devices) {
            ++devicesVisited;
            if (!visit(d)) break;
        }
        return true;
    }
    bool EnumUSBPrinters(const std::function<void(const TUSBInterfaceData&)>& add) override {
        for (size_t i = 0; i < usb.size(); ++i) {
            if (static_cast<int>(i) == usbFailAt) return false;
            add(usb[i]);
        }
        return true;
    }
};

// A serial device of the setup pass with a friendly name and a "PortName" value.
inline TSetupPortDevice SetupDevice(std::u16string friendlyName, std::u16string portName = {}) {
    TSetupPortDevice d;
    d.FriendlyName = std::move(friendlyName);
    d.PortName = std::move(portName);
    return d;
}

// Ports named in `busy` cannot be opened. With `hold` set, every open waits until release().
class FakeOpener : public TPortOpener {
public:
    std::set<std::u16string> busy;
    bool hold = false;

    bool IsPortFree(const std::u16string& name) override {
        std::unique_lock lock(FMutex);
        ++FEntered;
        FChanged.notify_all();
        FChanged.wait(lock, [&] { return !hold; });
        FCalls.push_back(name);
        return busy.count(name) == 0;
    }
    void release() {
        std::lock_guard lock(FMutex);
        hold = false;
        FChanged.notify_all();
    }
    // Waits until an open has started.
    void waitEntered() {
        std::unique_lock lock(FMutex);
        FChanged.wait(lock, [&] { return FEntered > 0; });
    }
    std::vector<std::u16string> calls() {
        std::lock_guard lock(FMutex);
        return FCalls;
    }

private:
    std::mutex FMutex;
    std::condition_variable FChanged;
    int FEntered = 0;
    std::vector<std::u16string> FCalls;
};

}  // namespace fr::ui::test
