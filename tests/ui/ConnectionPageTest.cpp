// The connection page: reading and saving the six settings, panel switching and the buttons that
// try the page's values on the register while the store stays as it was.
#include <gtest/gtest.h>

#include <functional>

#include "../adapter/DriverHost.h"
#include "UiFakes.h"
#include "dispatch/uEquipmentErrors.h"

using namespace fr;
using namespace fr::test;
using fr::ui::TfrmDeviceSettings;

namespace {

struct Page {
    DriverHost<> h;
    FakeServices services;
    FakeDeviceView view;
    TfrmDeviceSettings page{*h.driver, services, view};
    Page() { page.OnCreateFrm(); }

    // The six connection settings as text, in order.
    std::vector<std::string> stored() const {
        std::vector<std::string> out;
        for (const auto& id : TfrmDeviceSettings::ConnectionSettingIDs)
            out.push_back(u8(h.driver->GetSettingValue(id).toText()));
        return out;
    }
    void setStore(int model, int connection, int port, int baud, const char16_t* ip, int tcp) {
        h.driver->SetSettingValue(u"ModelIndex", Variant(model));
        h.driver->SetSettingValue(u"ConnectionType", Variant(connection));
        h.driver->SetSettingValue(u"PortNumber", Variant(port));
        h.driver->SetSettingValue(u"BaudRate", Variant(baud));
        h.driver->SetSettingValue(u"IPAddress", Variant(ip));
        h.driver->SetSettingValue(u"TCPPort", Variant(tcp));
    }
    // The page's controls for a serial connection on COM3 at 19200 to the emulator.
    void serialOnView() {
        view.model = 8, view.connection = 0, view.port = 3, view.baud = 2, view.ip = u"10.0.0.9", view.tcp = u"5555";
    }
};

}  // namespace

TEST(ConnectionPage, ReadsTheControlsFromTheStore) {
    Page p;
    p.setStore(3, 1, 7, 57600, u"192.168.0.5", 4001);
    p.page.OnReadSettings();
    EXPECT_EQ(p.view.model, 3);
    EXPECT_EQ(p.view.connection, 1);
    EXPECT_EQ(p.view.port, 7);
    EXPECT_EQ(p.view.baud, 4);
    EXPECT_EQ(u8(p.view.ip), "192.168.0.5");
    EXPECT_EQ(u8(p.view.tcp), "4001");

    // A rate outside the table selects no speed, and saving a serial connection then stops on it.
    p.setStore(3, 0, 7, 14400, u"", 0);
    p.page.OnReadSettings();
    EXPECT_EQ(p.view.baud, -1);
    EXPECT_THROW(p.page.OnSaveSettings(), ui::EAbort);
    EXPECT_EQ(p.services.errors, (std::vector<std::string>{"Не указана скорость подключения"}));
}

TEST(ConnectionPage, SavingChecksInOrderAndWritesNothingWhenAChecksFails) {
    struct Case {
        int model, connection, port, baud;
        const char16_t *ip, *tcp;
        const char* message;
    };
    const Case cases[] = {
        {-1, -1, -1, -1, u"", u"", "Не указана модель"},
        {8, -1, -1, -1, u"", u"", "Не указан тип соединения"},  // the emulator still needs a type
        {0, 1, -1, -1, u"  ", u"", "Не указан IP адрес"},
        {0, 1, -1, -1, u"10.0.0.1", u"   ", "Не указан TCP порт"},
        {0, 0, -1, -1, u"10.0.0.1", u"1", "Не указан COM-порт"},
        {0, 0, 4, -1, u"", u"", "Не указана скорость подключения"},
    };
    for (const auto& c : cases) {
        Page p;
        const auto before = p.stored();
        p.view.model = c.model, p.view.connection = c.connection, p.view.port = c.port, p.view.baud = c.baud;
        p.view.ip = c.ip, p.view.tcp = c.tcp;
        EXPECT_THROW(p.page.OnSaveSettings(), ui::EAbort) << c.message;
        EXPECT_EQ(p.services.errors, (std::vector<std::string>{c.message}));
        EXPECT_EQ(p.stored(), before) << c.message;
    }
}

TEST(ConnectionPage, SavingWritesAllSixWhateverTheConnectionType) {
    Page p;
    p.view.model = 6, p.view.connection = 1, p.view.ip = u" 10.1.2.3 ", p.view.tcp = u"7778";
    p.page.OnSaveSettings();
    // No port and no speed chosen: both stored as -1; the address as typed.
    EXPECT_EQ(p.stored(), (std::vector<std::string>{"6", "1", "-1", "-1", " 10.1.2.3 ", "7778"}));

    p.serialOnView();
    p.view.tcp = u"12ab";
    p.page.OnSaveSettings();
    EXPECT_EQ(p.stored(), (std::vector<std::string>{"8", "0", "3", "19200", "10.0.0.9", "0"}));
    EXPECT_TRUE(p.services.errors.empty());
}

TEST(ConnectionPage, PanelsFollowTheConnectionTypeAndTheModel) {
    struct Case {
        int connection, model;
        bool local, network, group;
    };
    const Case cases[] = {
        {0, 0, true, false, true},
        {1, 0, false, true, true},
        {-1, 3, false, true, true},  // no type chosen: the network fields show
        {0, 8, true, false, false},  // the emulator needs no connection
    };
    for (const auto& c : cases) {
        Page p;
        p.view.connection = c.connection, p.view.model = c.model;
        p.page.OnShow();
        EXPECT_EQ(p.view.local, c.local);
        EXPECT_EQ(p.view.network, c.network);
        EXPECT_EQ(p.view.group, c.group);
    }
}

TEST(ConnectionPage, EveryButtonTriesThePageValuesAndLeavesTheStoreAsItWas) {
    struct Case {
        void (TfrmDeviceSettings::*click)();
        const char* call;
    };
    const Case cases[] = {
        {&TfrmDeviceSettings::XReportClick, "printXReport()"},
        {&TfrmDeviceSettings::ZReportClick, "printZReport()"},
        {&TfrmDeviceSettings::ChangeTimeClick, "SetTime(?)"},
        {&TfrmDeviceSettings::GetTimeClick, "GetTime()"},
    };
    for (const auto& c : cases) {
        Page p;
        p.setStore(0, 1, 1, 9600, u"10.0.0.1", 7778);
        const auto before = p.stored();
        p.h.fake->values[u"GetTime"] = Variant(u"123456");
        p.serialOnView();
        (p.page.*c.click)();
        // Connected with the page's values (emulator, COM3, 19200), the call, disconnected.
        Seq seq = p.h.fake->sequence();
        for (auto& call : seq)  // the computer's clock: six digits
            if (call.size() == 15 && call.rfind("SetTime(", 0) == 0 &&
                call.find_first_not_of("0123456789", 8) == 14)
                call = "SetTime(?)";
        EXPECT_EQ(seq, (Seq{"start(100)", "OpenPort(COM3,3)", "SN()", c.call, "closePort()", "stop()"}));
        EXPECT_EQ(p.stored(), before) << c.call;
        EXPECT_TRUE(p.h.driver->BufSettings().empty());
        EXPECT_EQ(p.services.waits, 0);
        EXPECT_TRUE(p.services.errors.empty()) << p.services.errors.front();
        if (std::string(c.call) == "GetTime()")
            EXPECT_EQ(p.services.infos, (std::vector<std::string>{"Текущее время: 12:34:56"}));
        else
            EXPECT_TRUE(p.services.infos.empty());
    }
}

TEST(ConnectionPage, FailuresAreShownAndTheStoreIsPutBack) {
    {  // the report refused by the register
        Page p;
        const auto before = p.stored();
        p.serialOnView();
        p.h.fake->errors[u"printZReport"] = {61, u"Смена превысила 24 часа", u""};
        p.page.ZReportClick();
        EXPECT_EQ(p.services.errors, (std::vector<std::string>{"Смена превысила 24 часа"}));
        EXPECT_EQ(p.stored(), before);
    }
    {  // connecting fails: the test says so, and says it with the universal driver's text
        Page p;
        p.serialOnView();
        p.h.fake->errors[u"OpenPort"] = {2, u"Порт недоступен", u""};
        EXPECT_EQ(p.page.TestConnection(), 2);
        EXPECT_EQ(p.services.errors, (std::vector<std::string>{"Порт недоступен"}));
        EXPECT_TRUE(p.services.infos.empty());
    }
    {  // no universal driver: said in words, not an empty box, and nothing left changed
        Page p;
        const auto before = p.stored();
        p.h.installed = false;
        p.serialOnView();
        EXPECT_EQ(p.page.TestConnection(), rcUnknownError);
        EXPECT_EQ(p.services.errors, (std::vector<std::string>{"Не установлен универсальный драйвер Vornlex"}));
        EXPECT_EQ(p.stored(), before);
        EXPECT_EQ(p.services.waits, 0);
    }
    {  // passed
        Page p;
        p.serialOnView();
        EXPECT_EQ(p.page.TestConnection(), 0);
        EXPECT_EQ(p.services.infos, (std::vector<std::string>{"Тест пройден!"}));
    }
}

TEST(ConnectionPage, AValidationStopBeforeConnectingLeavesNoSnapshotBehind) {
    Page p;
    const auto before = p.stored();
    p.serialOnView();
    p.view.port = -1;
    EXPECT_THROW(p.page.XReportClick(), ui::EAbort);
    EXPECT_EQ(p.services.errors, (std::vector<std::string>{"Не указан COM-порт"}));
    EXPECT_TRUE(p.h.driver->BufSettings().empty());
    EXPECT_EQ(p.stored(), before);
    EXPECT_EQ(p.services.waits, 0);
    for (const auto& call : p.h.fake->sequence()) EXPECT_NE(call.rfind("start", 0), 0u) << call;
}

TEST(ConnectionPage, APortCheckStartsOnceWhenThePickerComesOnScreen) {
    struct Opening {
        const char* what;
        int model, connection, checks;
    };
    const Opening openings[] = {
        {"a serial connection", 0, 0, 1},
        {"a network connection", 0, 1, 0},
        {"the emulator", TfrmDeviceSettings::kEmulatorModelIndex, 0, 0},
    };
    for (const auto& o : openings) {
        DriverHost<> h;
        FakeServices services;
        FakeDeviceView view;
        FakeCommonView common;
        h.driver->SetSettingValue(u"ModelIndex", Variant(o.model));
        h.driver->SetSettingValue(u"ConnectionType", Variant(o.connection));
        ui::TfrmCommonSettings window(*h.driver, {ui::DeviceSettingsPageClass(view)}, common, services,
                                      u"/opt/fr/fr_vornlex.dll");
        EXPECT_EQ(view.portChecks, o.checks) << o.what;
    }

    // The user's changes on a page opened for the emulator over the network.
    Page p;
    p.view.model = TfrmDeviceSettings::kEmulatorModelIndex, p.view.connection = 1;
    p.page.OnShow();
    struct Step {
        const char* what;
        char control;  // 'm' the model list, 't' the connection type, 's' the page shown again
        int value, checks;
    };
    const Step steps[] = {
        {"a real model over the network: no picker", 'm', 0, 0},
        {"serial: the picker appears", 't', 0, 1},
        {"another real model: the picker stays", 'm', 3, 1},
        {"the page shown again", 's', 0, 2},
        {"the emulator hides the picker", 'm', 8, 2},
        {"a real model shows it again", 'm', 2, 3},
        {"the network hides it", 't', 1, 3},
        {"serial again", 't', 0, 4},
    };
    for (const auto& s : steps) {
        if (s.control == 'm') {
            p.view.model = s.value;
            p.page.ModelChanged();
        } else if (s.control == 't') {
            p.view.connection = s.value;
            p.page.ConnectionTypeChanged();
        } else {
            p.page.OnShow();
        }
        EXPECT_EQ(p.view.portChecks, s.checks) << s.what;
    }
}

TEST(ConnectionPage, TheConnectionTestSpeaksOnceDisconnectedTheOtherButtonsBefore) {
    struct Case {
        const char* what;
        std::function<void(Page&)> script;
        std::function<void(TfrmDeviceSettings&)> click;
        bool restoredAtBox;
    };
    const Case cases[] = {
        {"the connection test cannot connect",
         [](Page& p) { p.h.fake->errors[u"OpenPort"] = {2, u"Порт недоступен", u""}; },
         [](TfrmDeviceSettings& page) { page.TestConnection(); }, true},
        {"the connection test without a universal driver", [](Page& p) { p.h.installed = false; },
         [](TfrmDeviceSettings& page) { page.TestConnection(); }, true},
        {"the connection test passes", [](Page&) {}, [](TfrmDeviceSettings& page) { page.TestConnection(); }, true},
        {"the X report refused", [](Page& p) { p.h.fake->errors[u"printXReport"] = {61, u"Смена превысила 24 часа", u""}; },
         [](TfrmDeviceSettings& page) { page.XReportClick(); }, false},
        {"the clock refused", [](Page& p) { p.h.fake->errors[u"SetTime"] = {40, u"Неверное время", u""}; },
         [](TfrmDeviceSettings& page) { page.ChangeTimeClick(); }, false},
    };
    for (const auto& c : cases) {
        Page p;
        p.setStore(0, 1, 1, 9600, u"10.0.0.1", 7778);
        const auto before = p.stored();
        p.serialOnView();
        c.script(p);
        std::vector<std::string> atBox;
        bool enabledAtBox = false;
        p.services.onBox = [&] {
            atBox = p.stored();
            enabledAtBox = p.h.driver->Enabled();
        };
        c.click(p.page);
        ASSERT_EQ(p.services.errors.size() + p.services.infos.size(), 1u) << c.what;
        if (c.restoredAtBox) {
            EXPECT_EQ(atBox, before) << c.what;
            EXPECT_FALSE(enabledAtBox) << c.what;
        } else {  // still connected with the page's values
            EXPECT_EQ(atBox, (std::vector<std::string>{"8", "0", "3", "19200", "10.0.0.9", "5555"})) << c.what;
            EXPECT_TRUE(enabledAtBox) << c.what;
        }
        EXPECT_EQ(p.stored(), before) << c.what;
        EXPECT_FALSE(p.h.driver->Enabled()) << c.what;
    }
}
