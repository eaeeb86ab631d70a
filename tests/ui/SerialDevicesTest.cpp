// Linux serial devices as numbered ports, and the native open test.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "ui/posix/uSerialDevices.h"

using namespace fr::ui::posix;

TEST(SerialDevices, EachFamilyHasItsBlockOfNumbers) {
    const struct {
        const char* path;
        int number;
    } cases[] = {
        {"/dev/ttyS0", 1},       {"/dev/ttyS31", 32},     {"/dev/ttyS99", 100},   {"/dev/ttyUSB0", 101},
        {"/dev/ttyUSB99", 200},  {"/dev/ttyACM0", 201},   {"/dev/ttyACM55", 256}, {"/dev/ttyACM56", 0},
        {"/dev/ttyS100", 0},     {"/dev/ttyUSB100", 0},   {"/dev/ttyS01", 0},     {"/dev/ttyS", 0},
        {"/dev/ttyAMA0", 0},     {"/dev/pts/3", 0},       {"ttyS0", 0},           {"/tmp/ttyS0", 0},
        {"/dev/ttyS1x", 0},      {"/dev/ttyUSB-1", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(SerialPortNumber(c.path), c.number);
        // The way back: the number names the same device.
        if (c.number) {
            EXPECT_EQ(SerialDevicePath(c.number), c.path);
        }
    }
    for (int number : {0, -1, 257, 1000}) EXPECT_EQ(SerialDevicePath(number), "") << number;
}

TEST(SerialDevices, ADeviceIsFreeWhenItOpensAndNobodyHoldsItsLock) {
    const std::string path = (std::filesystem::path(testing::TempDir()) / "fr-port-device").string();
    { const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0600); ASSERT_GE(fd, 0); ::close(fd); }
    EXPECT_TRUE(IsDeviceFree(path));
    const int holder = ::open(path.c_str(), O_RDWR);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(IsDeviceFree(path));
    ::close(holder);
    EXPECT_TRUE(IsDeviceFree(path));
    std::filesystem::remove(path);
    EXPECT_FALSE(IsDeviceFree(path));
}
