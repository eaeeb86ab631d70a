#include "ui/posix/uSerialDevices.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <array>

namespace fr::ui::posix {

namespace {

struct Family {
    std::string_view name;  // after "/dev/"
    int first;              // the number of index 0
    int count;
};
constexpr std::array<Family, 3> kFamilies{{{"ttyS", 1, 100}, {"ttyUSB", 101, 100}, {"ttyACM", 201, 56}}};

}  // namespace

int SerialPortNumber(std::string_view devicePath) {
    constexpr std::string_view dev = "/dev/";
    if (devicePath.substr(0, dev.size()) != dev) return 0;
    const std::string_view name = devicePath.substr(dev.size());
    for (const Family& f : kFamilies) {
        if (name.substr(0, f.name.size()) != f.name) continue;
        const std::string_view digits = name.substr(f.name.size());
        // "ttyS01" is not a device name the kernel makes.
        if (digits.empty() || digits.size() > 2 || (digits.size() > 1 && digits[0] == '0')) return 0;
        int index = 0;
        for (char c : digits) {
            if (c < '0' || c > '9') return 0;
            index = index * 10 + (c - '0');
        }
        return index < f.count ? f.first + index : 0;
    }
    return 0;
}

std::string SerialDevicePath(int number) {
    for (const Family& f : kFamilies)
        if (number >= f.first && number < f.first + f.count)
            return "/dev/" + std::string(f.name) + std::to_string(number - f.first);
    return {};
}

bool IsDeviceFree(const std::string& devicePath) {
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);  // also drops the lock
    return locked;
}

}  // namespace fr::ui::posix
