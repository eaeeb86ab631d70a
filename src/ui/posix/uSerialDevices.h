#pragma once
// Serial devices on Linux as numbered ports. The driver's settings know a port only by its
// number (1..256, as COM1..COM256 on Windows), so each device family has a block of numbers:
//   /dev/ttyS0   .. /dev/ttyS99    ->   1 .. 100
//   /dev/ttyUSB0 .. /dev/ttyUSB99  -> 101 .. 200
//   /dev/ttyACM0 .. /dev/ttyACM55  -> 201 .. 256
// Other devices and higher indexes are not listed.
#include <string>
#include <string_view>

namespace fr::ui::posix {

// The port number of a device path ("/dev/ttyUSB0" -> 101); 0 when it has none.
int SerialPortNumber(std::string_view devicePath);
// The device path of a port number (101 -> "/dev/ttyUSB0"); empty when no device has it.
std::string SerialDevicePath(int number);
// Opens the device for reading and writing without becoming its controlling terminal and without
// waiting for a carrier, then takes an exclusive flock: free when both succeed. The device is
// closed at once. A program holding the port with TIOCEXCL makes the open fail (except for
// root), one holding a flock (as pyserial's exclusive mode does) makes the lock fail.
bool IsDeviceFree(const std::string& devicePath);

}  // namespace fr::ui::posix
