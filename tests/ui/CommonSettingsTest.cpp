// The common settings window: construction, the OK and cancel rules over several pages, the
// device test, the settings list, the debug-log items, help and the additional actions.
#include <gtest/gtest.h>

#include "../adapter/DriverHost.h"
#include "UiFakes.h"
#include "dispatch/uDebugLog.h"
#include "dispatch/uEquipmentErrors.h"
#include "platform/Platform.h"

using namespace fr;
using namespace fr::test;
using fr::ui::TfrmCommonSettings;

namespace {

// A page that writes one number setting on save and can refuse or abort.
struct TestPage : ui::TfrmBaseSettings {
    std::u16string caption, setting;
    int32_t value = 0;
    bool refuse = false, abort = false;
    std::vector<std::string>* log = nullptr;
    using TfrmBaseSettings::TfrmBaseSettings;
    std::u16string Caption() const override { return caption; }
    void OnSaveSettings(bool& allow) override { allow = !refuse; }
    void OnSaveSettings() override {
        if (abort) throw ui::EAbort();
        DeviceManager().SetSettingValue(setting, Variant(value));
    }
    void OnReadSettings() override { log->push_back("read " + u8(caption)); }
    void OnNotify(const std::u16string& msg, const std::u16string&) override {
        log->push_back(u8(caption) + " got " + u8(msg));
    }
};

struct Window {
    DriverHost<> h;
    FakeServices services;
    FakeCommonView view;
    std::vector<std::string> log;
    std::vector<TestPage*> pages;
    std::unique_ptr<TfrmCommonSettings> window;

    ui::TPageClass pageClass(const char16_t* caption, const char16_t* setting, int32_t value) {
        return [=, this](TBaseDevice& d, ui::TDialogServices& s) {
            auto page = std::make_unique<TestPage>(d, s);
            page->caption = caption, page->setting = setting, page->value = value, page->log = &log;
            pages.push_back(page.get());
            return std::unique_ptr<ui::TfrmBaseSettings>(std::move(page));
        };
    }
    void open(std::vector<ui::TPageClass> classes = {}) {
        window = std::make_unique<TfrmCommonSettings>(*h.driver, classes, view, services, u"/opt/fr/fr_vornlex.dll");
    }
    void twoPages() {
        open({pageClass(u"Первая", u"ModelIndex", 5), pageClass(u"Вторая", u"TCPPort", 9100)});
    }
};

}  // namespace

TEST(CommonSettings, ConstructionFillsTheHeaderInformationAndMenu) {
    Window w;
    w.twoPages();
    EXPECT_EQ(w.view.tabs, (std::vector<std::string>{"Первая", "Вторая"}));
    EXPECT_EQ(w.log, (std::vector<std::string>{"read Первая", "read Вторая"}));
    EXPECT_EQ(w.window->Pages()[1]->OwnerFrm(), w.window.get());
    const TDeviceInfoStruct& info = w.h.driver->DeviceInfo();
    EXPECT_EQ(w.view.model, u8(info.ModelName));
    EXPECT_EQ(w.view.version, u8(w.h.driver->GetDeviceVersion()));
    EXPECT_EQ(u8(w.view.info.TypeName), "Фискальный регистратор");
    EXPECT_EQ(w.view.info.Contacts, ContactBlockText(info));
    EXPECT_EQ(w.view.hint, "Настройка параметров и подробная информация о драйвере");
    EXPECT_EQ(w.view.firstTabSelected, 1);
    EXPECT_TRUE(w.view.menu[ui::TMenuItem::miReset]);
    EXPECT_TRUE(w.view.menu[ui::TMenuItem::miDeviceTest]);
    EXPECT_FALSE(w.view.menu[ui::TMenuItem::miHelp]);  // no help beside the module
    EXPECT_TRUE(w.view.actions.empty());

    // Without pages the information tab is alone and there is nothing to reset.
    Window bare;
    const std::u16string help = u"/opt/fr/help" + std::u16string(1, platform::pathDelimiter()) + u"index.html";
    bare.view.files.insert(help);
    bare.open();
    EXPECT_FALSE(bare.view.menu[ui::TMenuItem::miReset]);
    EXPECT_TRUE(bare.view.menu[ui::TMenuItem::miHelp]);
    bare.window->Help();
    EXPECT_EQ(bare.view.opened, (std::vector<std::string>{u8(help)}));
}

TEST(CommonSettings, OkRefusedByTheSecondPageKeepsTheFirstPageWrittenAndTheWindowOpen) {
    Window w;
    w.twoPages();
    w.pages[1]->refuse = true;
    EXPECT_FALSE(w.window->CloseQueryOK());
    EXPECT_EQ(w.h.driver->GetSettingValueInt(u"ModelIndex"), 5);
    EXPECT_NE(w.h.driver->GetSettingValueInt(u"TCPPort"), 9100);

    w.pages[1]->refuse = false;
    w.pages[1]->abort = true;  // a page that showed its own message
    EXPECT_FALSE(w.window->CloseQueryOK());

    w.pages[1]->abort = false;
    EXPECT_TRUE(w.window->CloseQueryOK());
    EXPECT_EQ(w.h.driver->GetSettingValueInt(u"TCPPort"), 9100);
}

TEST(CommonSettings, ClosingOtherwiseThanOkPutsTheSnapshotBack) {
    Window w;
    w.twoPages();
    const int32_t before = w.h.driver->GetSettingValueInt(u"TCPPort");
    w.h.driver->StoreSettings();
    w.h.driver->SetSettingValue(u"TCPPort", Variant(1));
    w.window->Closed(true);
    EXPECT_EQ(w.h.driver->GetSettingValueInt(u"TCPPort"), 1);
    w.window->Closed(false);
    EXPECT_EQ(w.h.driver->GetSettingValueInt(u"TCPPort"), before);
}

TEST(CommonSettings, DeviceTestRestoresTheStoreAndSpeaksOnlyOnFailure) {
    struct Case {
        bool refuse;
        std::map<std::u16string, FakeUniversalDriver::ErrorState> errors;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {false, {}, {}},
        {true, {}, {"Не удалось записать текущие настройки"}},
        {false, {{u"OpenPort", {3, u"Нет связи", u""}}}, {"Нет связи [3]"}},
    };
    for (const auto& c : cases) {
        Window w;
        w.twoPages();
        const int32_t model = w.h.driver->GetSettingValueInt(u"ModelIndex");
        w.pages[1]->refuse = c.refuse;
        w.h.fake->errors = c.errors;
        w.window->DeviceTest();
        EXPECT_EQ(w.services.errors, c.shown);
        EXPECT_EQ(w.h.driver->GetSettingValueInt(u"ModelIndex"), model);
        EXPECT_FALSE(w.h.driver->Enabled());
        EXPECT_EQ(w.services.waits, 0);
        EXPECT_EQ(w.services.maxWaits, 1);
    }
}

TEST(CommonSettings, SettingsListOkRereadsThePagesAndCancelRestores) {
    Window w;
    w.twoPages();
    const int32_t before = w.h.driver->GetSettingValueInt(u"TCPPort");
    w.log.clear();
    w.view.listAnswer = true;
    w.window->SettingsList();
    EXPECT_EQ(w.log, (std::vector<std::string>{"read Первая", "read Вторая"}));

    w.view.listAnswer = false;
    w.h.driver->SetSettingValue(u"TCPPort", Variant(4));  // stands for an edit made in the list
    w.window->SettingsList();
    EXPECT_EQ(w.h.driver->GetSettingValueInt(u"TCPPort"), 4);  // the snapshot was taken when it opened
    w.log.clear();
    w.window->Reset();
    EXPECT_EQ(w.h.driver->GetSettingValueInt(u"TCPPort"), before);
    EXPECT_EQ(w.log.size(), 2u);
}

TEST(CommonSettings, DebugLogItemsFollowTheSettingAndTheFileOfTheDay) {
    Window w;
    w.open();
    w.window->MenuOpening();
    EXPECT_FALSE(w.view.menu[ui::TMenuItem::miOpenDebugLog]);
    w.h.driver->SetSettingValue(u"DebugLogEnabled", Variant(true));
    w.window->MenuOpening();
    EXPECT_TRUE(w.view.menu[ui::TMenuItem::miOpenDebugLog]);

    const std::u16string name = w.window->CurrentDebugLogName(platform::nowLocal());
    w.window->OpenCurrentDebugLog();
    EXPECT_EQ(w.services.infos, (std::vector<std::string>{"Отладочный лог не найден!"}));
    w.view.files.insert(name);
    w.window->OpenCurrentDebugLog();
    EXPECT_EQ(w.view.opened, (std::vector<std::string>{u8(name)}));
    // Without a device folder the log is where the writer puts it: the common log folder.
    EXPECT_EQ(name.rfind(GetCommonLogFolder(), 0), 0u) << u8(name);
}

TEST(CommonSettings, PagesAddedLaterAreEmbeddedAndEveryPageReadAgain) {
    Window w;
    w.open();
    EXPECT_FALSE(w.view.menu[ui::TMenuItem::miReset]);
    w.window->AddPage(w.pageClass(u"Первая", u"ModelIndex", 1));
    EXPECT_EQ(w.log, (std::vector<std::string>{"read Первая"}));
    w.log.clear();
    w.window->AddPages({w.pageClass(u"Вторая", u"TCPPort", 2), w.pageClass(u"Третья", u"BaudRate", 3)});
    EXPECT_EQ(w.view.tabs, (std::vector<std::string>{"Первая", "Вторая", "Третья"}));
    EXPECT_EQ(w.log, (std::vector<std::string>{"read Первая", "read Вторая", "read Третья"}));
    EXPECT_EQ(w.window->Pages()[2]->OwnerFrm(), w.window.get());
    EXPECT_EQ(w.view.firstTabSelected, 2);
}

TEST(CommonSettings, NotificationsReachEveryPageInTabOrder) {
    Window w;
    w.twoPages();
    w.log.clear();
    w.window->Pages()[1]->NotifyOwner(u"port", u"3");
    EXPECT_EQ(w.log, (std::vector<std::string>{"Первая got port", "Вторая got port"}));
}

TEST(CommonSettings, HelpTextsByID) {
    EXPECT_EQ(u8(TfrmCommonSettings::GetHelpByID(1001)), "Сохранить настройки и закрыть окно");
    EXPECT_EQ(u8(TfrmCommonSettings::GetHelpByID(1002)), "Закрыть окно без сохранения настроек");
    EXPECT_EQ(TfrmCommonSettings::GetHelpByID(1000).substr(0, 24), u"Дополнительные функции: ");
    EXPECT_TRUE(TfrmCommonSettings::GetHelpByID(999).empty());
    EXPECT_TRUE(TfrmCommonSettings::GetHelpByID(1004).empty());
    Window w;
    w.open();
    EXPECT_TRUE(w.window->HelpPopupText(101).empty());  // no help file: empty popups below 1000
    EXPECT_EQ(u8(w.window->HelpPopupText(1001)), "Сохранить настройки и закрыть окно");
}
