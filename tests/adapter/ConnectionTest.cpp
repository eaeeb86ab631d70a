// Connecting through the universal driver, the driver's settings and the error conversion.
#include <gtest/gtest.h>

#include "DriverHost.h"
#include "automation/DateTime.h"
#include "automation/FormatSettings.h"
#include "dispatch/uEquipmentErrors.h"

using namespace fr;
using fr::test::DriverHost;
using namespace fr::test;

TEST(DriverConnection, EnableStartsTheModelOpensThePortAndReadsTheSerialNumber) {
    struct Case {
        int32_t model, connection, port, baud;
        Seq expected;
    };
    const Case cases[] = {
        {8, 0, 3, 115200, {"start(100)", "OpenPort(COM3,6)", "SN()"}},
        {7, 0, 1, 14400, {"start(7)", "OpenPort(COM1,0)", "SN()"}},  // a rate outside the table
        {0, 0, 12, 4800, {"start(0)", "OpenPort(COM12,1)", "SN()"}},
        {8, 1, 1, 115200, {"start(100)", "OpenPortEx(&10.0.0.7,7779)", "SN()"}},
    };
    for (const auto& c : cases) {
        DriverHost<> h;
        h.driver->SetSettingValue(u"ModelIndex", Variant(c.model));
        h.driver->SetSettingValue(u"ConnectionType", Variant(c.connection));
        h.driver->SetSettingValue(u"PortNumber", Variant(c.port));
        h.driver->SetSettingValue(u"BaudRate", Variant(c.baud));
        h.driver->SetSettingValue(u"IPAddress", Variant(u"10.0.0.7"));
        h.driver->SetSettingValue(u"TCPPort", Variant(7779));
        h.fake->values[u"SN"] = Variant(u"9900012345");
        EXPECT_EQ(h.call(u"Enable"), 0) << c.model;
        EXPECT_EQ(h.fake->sequence(), c.expected) << c.model;
        EXPECT_EQ(u8(h.driver->DeviceSerialNum()), "9900012345");
        EXPECT_TRUE(h.driver->Enabled());
    }
}

TEST(DriverConnection, TheSerialNumberIsReadEvenWhenConnectFails) {
    struct Case {
        const char16_t* failing;
        Seq expected;
    };
    const Case cases[] = {
        {u"start", {"start(0)", "SN()"}},
        {u"OpenPort", {"start(0)", "OpenPort(COM1,6)", "SN()"}},
    };
    for (const auto& c : cases) {
        DriverHost<> h;
        h.fake->errors[c.failing] = {25, u"Открыт другой документ", u""};
        h.fake->values[u"SN"] = Variant(u"9911");
        EXPECT_EQ(h.call(u"Enable"), 25);
        EXPECT_EQ(h.description(), "Открыт другой документ [25]");
        EXPECT_EQ(h.fake->sequence(), c.expected);
        EXPECT_EQ(u8(h.driver->DeviceSerialNum()), "9911");
        EXPECT_FALSE(h.driver->Enabled());
    }
}

TEST(DriverConnection, TheErrorStateIsReadAfterEachCheckedCall) {
    struct Case {
        int32_t code;
        const char16_t* text;
        const char16_t* exText;
        int32_t expectedCode;
        std::string expectedDescription;
        const char16_t* textRead;
    };
    const Case cases[] = {
        {25, u"T", u"ex", 25, "T [25]", u"LastErrorText"},
        {1, u"Общая ошибка", u"Порт COM1 занят", 1, "Порт COM1 занят [1]", u"LastErrorExText"},
        {-3, u"Отрицательный", u"", -3, "Отрицательный [-3]", u"LastErrorText"},
        {1000, u"Предел", u"", 1000, "Предел [1000]", u"LastErrorText"},
        // Above 1000 the code is one of ours: the table's text.
        {3001, u"paper", u"", 3001, "Нет бумаги", u"LastErrorText"},
    };
    for (const auto& c : cases) {
        DriverHost<> h;
        h.fake->errors[u"start"] = {c.code, c.text, c.exText};
        EXPECT_EQ(h.call(u"Enable"), c.expectedCode);
        EXPECT_EQ(h.description(), c.expectedDescription);
        std::vector<std::u16string> reads;
        for (const auto& call : h.fake->calls) reads.push_back(call.name);
        EXPECT_EQ(reads, (std::vector<std::u16string>{u"start", u"LastError", u"LastError", c.textRead, u"SN"}));
    }
}

TEST(DriverConnection, TheBracketedNumberIsTheLastCodeReadFromTheUniversalDriver) {
    DriverHost<> h;
    h.fake->errors[u"start"] = {25, u"T", u""};
    h.call(u"Enable");
    std::u16string d;
    EXPECT_EQ(h.driver->ConvertDrvError(7, d), 7);
    EXPECT_EQ(u8(d), "T [25]");
    EXPECT_EQ(h.driver->ConvertDrvError(0, d), 0);
    EXPECT_TRUE(d.empty());
    EXPECT_EQ(h.driver->ConvertDrvError(3017, d), 3017);
    EXPECT_EQ(u8(d), "Недостаточно наличности в кассе");
}

TEST(DriverConnection, DisableCloseAndReleaseClosePortAndDropTheUniversalDriver) {
    DriverHost<> h;
    std::u16string d;
    ASSERT_TRUE(h.open(d));
    ASSERT_EQ(h.call(u"Enable"), 0);
    h.fake->calls.clear();
    EXPECT_EQ(h.call(u"Disable"), 0);
    EXPECT_EQ(h.fake->sequence(), (Seq{"closePort()", "stop()"}));
    EXPECT_FALSE(h.driver->Enabled());

    h.fake->calls.clear();
    EXPECT_EQ(h.obj.call(u"Close"), Variant(true));
    EXPECT_EQ(h.fake->sequence(), (Seq{"closePort()", "stop()"}));
    EXPECT_TRUE(h.driver->DriverFR().isObject());  // made again on the next need
    EXPECT_EQ(h.creations, 2);

    // Releasing the object disables it and lets go of the universal driver.
    h.fake->calls.clear();
    std::weak_ptr<TDriverFR> weak = h.driver;
    h.obj = DispatchObject(nullptr);
    h.driver.reset();
    EXPECT_TRUE(weak.expired());
    EXPECT_EQ(h.fake->sequence(), (Seq{"closePort()", "stop()", "closePort()", "stop()"}));
    EXPECT_EQ(h.fake.use_count(), 1);
}

TEST(DriverConnection, AMissingUniversalDriverFailsOpenWith1006AndIsTriedAgain) {
    DriverHost<> h;
    h.installed = false;
    std::u16string d;
    EXPECT_FALSE(h.open(d));
    EXPECT_EQ(u8(d), "Не установлен универсальный драйвер Vornlex");
    // Operations that check first answer 1006; the others fail on the missing object.
    EXPECT_EQ(h.call(u"OpenDrawer"), 1006);
    EXPECT_EQ(h.description(), "Библиотека не найдена");
    EXPECT_EQ(h.call(u"OpenDay"), 1001);
    EXPECT_EQ(h.description(), "Не установлен универсальный драйвер Vornlex");
    EXPECT_EQ(h.call(u"Enable"), 1001);
    EXPECT_EQ(h.call(u"Disable"), 0);  // nothing to close
    EXPECT_EQ(h.creations, 4);

    h.installed = true;
    EXPECT_TRUE(h.open(d));
    EXPECT_EQ(u8(d), "Нет ошибок");
    EXPECT_EQ(h.call(u"Enable"), 0);
    EXPECT_EQ(h.creations, 5);  // kept once made
}

TEST(DriverSettings, LineLengthPaymentAndTaxNames) {
    struct Case {
        Variant rowLength;
        int expected;
    };
    // Kept in one byte; 0 would leave the text layout nothing to divide by.
    const Case cases[] = {{Variant(48), 48}, {Variant(300), 44}, {Variant(40), 40}, {Variant(0), 48},
                          {Variant(256), 48}, {Variant(512), 48}, {Variant(255), 255}};
    for (const auto& c : cases) {
        DriverHost<> h;
        EXPECT_EQ(h.driver->LineLen(), 40);
        h.driver->SetSettingValue(u"MaxReceiptRowLength", c.rowLength);
        std::u16string d;
        ASSERT_TRUE(h.open(d));
        EXPECT_EQ(h.driver->LineLen(), c.expected) << c.rowLength.toInt();
    }

    DriverHost<> h;
    // SetSettings re-reads them.
    h.driver->SetSettingValue(u"PaymentTypeNameConformity", Variant(u"0=Наличные;1=Кредит"));
    h.driver->SetSettingValue(u"TaxGroupConformity", Variant(u"0=20%;1=10%"));
    h.driver->SetSettingValue(u"DefCashierName", Variant(u"Иванова"));
    ASSERT_EQ(h.call(u"SetSettings", h.driver->Settings().ToExchangeArray()), 0);
    EXPECT_EQ(u8(h.driver->PaymentNames().Value(1)), "Кредит");
    EXPECT_EQ(u8(h.driver->PaymentNames().Value(0)), "Наличные");
    EXPECT_EQ(u8(h.driver->PaymentNames().Value(2)), "");
    EXPECT_EQ(u8(h.driver->TaxNames().Value(1)), "10%");
    EXPECT_EQ(u8(h.driver->OperName()), "Иванова");
}

TEST(DriverSettings, TheTwelveSettingsFollowTheFiscalOnes) {
    DriverHost<> h;
    const auto& items = h.driver->Settings().items();
    ASSERT_EQ(items.size(), 3u + 10u + 12u);
    const char* ids[] = {"DefCashierName", "ConnectionType", "TCPPort", "IPAddress", "PortNumber", "BaudRate",
                         "ModelIndex", "PrintBarcode", "BarcodeType", "PaymentTypeNameConformity",
                         "TaxGroupConformity", "Tax18To20"};
    for (size_t i = 0; i < 12; ++i) EXPECT_EQ(u8(items[13 + i].ID), ids[i]);
    EXPECT_EQ(u8(items[3].ID), "MaxReceiptRowLength");
    EXPECT_EQ(h.driver->GetSettingValueInt(u"BaudRate"), 115200);
    EXPECT_EQ(BaudRateIndex(57600), 4);
    EXPECT_EQ(BaudRateIndex(14400), -1);
}

TEST(DriverFormats, SetOncePerProcess) {
    DriverHost<> first;
    const TFormatSettings& fs = processFormatSettings();
    EXPECT_EQ(fs.DecimalSeparator, u'.');
    EXPECT_EQ(u8(fs.ShortDateFormat), "yyyy mm dd");
    EXPECT_EQ(u8(fs.LongTimeFormat), "hh mm ss");
    EXPECT_EQ(u8(dateTimeToText(encodeDateTime(2024, 3, 1, 9, 5, 7, 0), fs)), "2024 03 01 09 05 07");

    // A later object does not write them again (another thread may be formatting with them).
    const TFormatSettings driverFormats = fs;
    setProcessFormatSettings(TFormatSettings::russian());
    DriverHost<> second;
    EXPECT_EQ(processFormatSettings().DecimalSeparator, u',');
    setProcessFormatSettings(driverFormats);
}
