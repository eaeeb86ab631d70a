#include "ui/uCommonSettings.h"

#include "automation/DateTime.h"
#include "dispatch/uDebugLog.h"
#include "dispatch/uEquipmentErrors.h"
#include "platform/Platform.h"
#include "ui/uHelpPopups.h"

namespace fr::ui {

namespace {
// Disables the device and puts its snapshot back on every way out of a trial, also when an error
// escapes (that error is the one the user sees).
class TTrialEnd {
public:
    explicit TTrialEnd(TBaseDevice& device) : FDevice(device) {}
    ~TTrialEnd() {
        try {
            FDevice.Disable();
        } catch (...) {
        }
        FDevice.RestoreSettings();
    }
    TTrialEnd(const TTrialEnd&) = delete;
    TTrialEnd& operator=(const TTrialEnd&) = delete;

private:
    TBaseDevice& FDevice;
};

std::u16string folderOf(const std::u16string& fileName) {
    size_t slash = fileName.find_last_of(u"\\/");
    return slash == std::u16string::npos ? std::u16string() : fileName.substr(0, slash + 1);
}
}  // namespace

TfrmCommonSettings::TfrmCommonSettings(TBaseDevice& ADeviceManager, const std::vector<TPageClass>& PageClasses,
                                       ICommonSettingsView& view, TDialogServices& services,
                                       const std::u16string& moduleFileName)
    : FDeviceManager(ADeviceManager), FView(view), FServices(services), FModuleFileName(moduleFileName) {
    for (const auto& pageClass : PageClasses) {
        auto page = pageClass(FDeviceManager, FServices);
        page->OnCreateFrm();
        AddPage(std::move(page));
    }
    const TDeviceInfoStruct& info = FDeviceManager.DeviceInfo();
    FView.SetHeader(info.ModelName, FDeviceManager.GetDeviceVersion());
    FCI_www = info.CI_www;
    FView.SetInfo({EquipmentTypeCaption(info.TypeName), info.ModelName, FDeviceManager.GetDeviceVersion(),
                   info.DeveloperName, info.Description, ContactBlockText(info)});
    ReadAllPages();
    FView.SelectFirstTab();
    if (FView.TabCount() == 1) SetCapSetDefault(false);
    FHelpEnabled = HelpFileExists();
    SetCapShowHelp(FHelpEnabled);
    FView.SetTabHint(GetHelpByID(1003));
    BuildActionItems();
}

void TfrmCommonSettings::AddPage(std::unique_ptr<TfrmBaseSettings> PageFrm) {
    PageFrm->SetOwnerFrm(this);
    FPages.push_back(std::move(PageFrm));
    FView.EmbedPage(*FPages.back());
}

void TfrmCommonSettings::AddPage(const TPageClass& PageClass) {
    auto page = PageClass(FDeviceManager, FServices);
    page->OnCreateFrm();
    AddPage(std::move(page));
    ReadAllPages();
}

void TfrmCommonSettings::AddPages(const std::vector<TPageClass>& PageClasses) {
    for (const auto& pageClass : PageClasses) {
        auto page = pageClass(FDeviceManager, FServices);
        page->OnCreateFrm();
        AddPage(std::move(page));
    }
    ReadAllPages();
    FView.SelectFirstTab();
    if (FView.TabCount() == 1) SetCapSetDefault(false);
}

void TfrmCommonSettings::NotifyPages(const std::u16string& Msg, const std::u16string& Data) {
    for (auto& page : FPages) page->OnNotify(Msg, Data);
}

void TfrmCommonSettings::ReadAllPages() {
    for (auto& page : FPages) page->OnReadSettings();
}

bool TfrmCommonSettings::SaveAllPages() {
    for (auto& page : FPages) {
        bool allow = true;
        page->OnSaveSettings(allow);
        if (!allow) return false;
        page->OnSaveSettings();
    }
    return true;
}

bool TfrmCommonSettings::HelpFileExists() {
    FHelpFile = folderOf(FModuleFileName) + u"help" + platform::pathDelimiter() + kHelpIndex;
    return FView.FileExists(FHelpFile);
}

std::u16string TfrmCommonSettings::GetHelpByID(int ID) {
    switch (ID) {
        case 1000:
            return u"Дополнительные функции: \r\n - Установка параметров в значегие по умолчанию\r\n - Тест "
                   u"работоспособности устройства\r\n - Отображение полного списка настроек\r\n - Справка";
        case 1001: return u"Сохранить настройки и закрыть окно";
        case 1002: return u"Закрыть окно без сохранения настроек";
        case 1003: return u"Настройка параметров и подробная информация о драйвере";
        default: return {};
    }
}

std::u16string TfrmCommonSettings::HelpPopupText(int ID) {
    if (ID >= 1000) return GetHelpByID(ID);
    if (!FHelpEnabled) return {};
    auto content = platform::readWholeFile(folderOf(FHelpFile) + kHelpPopups);
    return content ? THelpPopups::Parse(*content).Topic(ID) : std::u16string();
}

bool TfrmCommonSettings::CloseQueryOK() {
    try {
        return SaveAllPages();
    } catch (const EAbort&) {
        return false;
    }
}

void TfrmCommonSettings::Closed(bool ok) {
    if (!ok) FDeviceManager.RestoreSettings();
}

void TfrmCommonSettings::MenuOpening() {
    SetCapOpenDebugLog(FDeviceManager.GetSettingValueBool(u"DebugLogEnabled"));
}

void TfrmCommonSettings::Reset() {
    FDeviceManager.SetAllSettingsDefault();
    ReadAllPages();
}

bool TfrmCommonSettings::RunDeviceTest(std::u16string& message) {
    if (!SaveAllPages()) {
        message = u"Не удалось записать текущие настройки";
        return false;
    }
    std::u16string description;
    const int32_t code = FDeviceManager.Enable(description);
    if (code != rcOK) {
        message = description.empty() ? ResultCodeDescription(code) : description;
        return false;
    }
    return FDeviceManager.DeviceTest(message);
}

void TfrmCommonSettings::DeviceTest() {
    FDeviceManager.StoreSettings();
    std::u16string message;
    bool passed = false;
    {
        TWaitCursor wait(FServices);
        TTrialEnd trialEnd(FDeviceManager);
        passed = RunDeviceTest(message);
    }
    if (!passed) FServices.ShowError(message);
}

void TfrmCommonSettings::SettingsList() {
    FDeviceManager.StoreSettings();
    if (FView.ShowSettingsList())
        ReadAllPages();
    else
        FDeviceManager.RestoreSettings();
}

std::u16string TfrmCommonSettings::CurrentDebugLogName(double today) const {
    // The log writer puts a device without a folder of its own into the common log folder, so
    // that is where its current log is looked for.
    std::u16string folder = FDeviceManager.DeviceFolder();
    folder = folder.empty() ? GetCommonLogFolder() : platform::includeTrailingPathDelimiter(folder);
    return DebugLogFileName(folder, today);
}

void TfrmCommonSettings::OpenCurrentDebugLog() {
    const std::u16string name = CurrentDebugLogName(platform::nowLocal());
    if (FView.FileExists(name))
        FView.OpenDocument(name);
    else
        FServices.ShowInfo(u"Отладочный лог не найден!");
}

void TfrmCommonSettings::OpenDebugLogDirectory() {
    std::u16string folder = FDeviceManager.DeviceFolder();
    if (folder.empty()) folder = GetCommonLogFolder();
    if (auto chosen = FView.ChooseLogFile(folder)) FView.OpenDocument(*chosen);
}

void TfrmCommonSettings::Help() {
    if (FHelpEnabled) FView.OpenDocument(FHelpFile);
}

void TfrmCommonSettings::BuildActionItems() {
    if (FDeviceManager.AddActionsCount() <= 0) return;
    std::vector<std::u16string> captions;
    for (int i = 0; i < FDeviceManager.AddActionsCount(); ++i) captions.push_back(FDeviceManager.GetAddAction(i)->Caption);
    FView.AddActionItems(captions);
}

void TfrmCommonSettings::RunActionItem(int tag) {
    const TAdditionalAction* action = FDeviceManager.GetAddAction(tag);
    if (!action) return;
    std::u16string description;
    if (FDeviceManager.RunAdditionalAction(action->ID, description) != rcOK) FServices.ShowError(description);
}

void TfrmCommonSettings::LogoClick() {
    TWaitCursor wait(FServices);
    FView.OpenUrl(FCI_www);
}

}  // namespace fr::ui
