#include "ui/win32/uDeviceSettingsPage.h"

#include <commctrl.h>

#include "adapter/uDriver.h"
#include "automation/Text.h"
#include "ui/win32/SettingsWindowIds.h"
#include "ui/win32/uDropDownWidth.h"
#include "ui/win32/uModuleInstance.h"
#include "ui/win32/uTooltips.h"
#include "ui/win32/uWin32Services.h"
#include "ui/win32/uWin32Text.h"

namespace fr::ui::win32 {

namespace {
constexpr int kPageWidth = 440, kPageHeight = 270;
constexpr int kPortItemHeight = 16;  // the dot (10 pixels) with a margin of 2 around it
constexpr int kModelRows = 12;       // rows the open model list shows

const struct {
    int id, helpContext;
    const wchar_t* hint;
} kControls[] = {
    {IDC_MODEL, HC_MODEL, L"Модель ФР"},
    {IDC_CONNECTION_TYPE, HC_CONNECTION_TYPE, L"Тип подключения к ККТ"},
    {IDC_PORT, HC_PORT, L"Номер COM-порта"},
    {IDC_BAUD, HC_BAUD, L"Скорость обмена"},
    {IDC_IP, HC_IP, L"IP адрес ККТ"},
    {IDC_TCP_PORT, HC_TCP_PORT, L"TCP порт ККТ"},
    {IDC_GET_TIME, HC_GET_TIME, L"Изменить время в устройстве"},
    {IDC_SET_TIME, HC_SET_TIME, L"Изменить время в устройстве"},
    {IDC_X_REPORT, HC_X_REPORT, L"Отчет без гашения"},
    {IDC_Z_REPORT, HC_Z_REPORT, L"Закрытие кассовой смены"},
    {IDC_TEST_CONNECTION, HC_TEST_CONNECTION, L"Проверить связь с устройством"},
};

// The page's controls in pixels: dialog units depend on the font the system gives for Tahoma, and
// the page must fit its 440 x 270 pixels. Drop-down lists count their open list in the height.
const struct {
    int id, x, y, width, height;
} kLayout[] = {
    {IDC_MODEL_LABEL, 8, 8, 300, 14},         {IDC_MODEL, 8, 24, 300, 24 + kModelRows * 16},
    {IDC_CONNECTION_GROUP, 8, 56, 300, 166},  {IDC_CONNECTION_TYPE_LABEL, 18, 76, 280, 14},
    {IDC_CONNECTION_TYPE, 18, 92, 280, 120},  {IDC_PORT_LABEL, 18, 122, 280, 14},
    {IDC_PORT, 18, 138, 280, 24 + 10 * kPortItemHeight}, {IDC_BAUD_LABEL, 18, 166, 280, 14},
    {IDC_BAUD, 18, 182, 140, 160},            {IDC_IP_LABEL, 18, 122, 280, 14},
    {IDC_IP, 18, 138, 280, 22},               {IDC_TCP_PORT_LABEL, 18, 166, 280, 14},
    {IDC_TCP_PORT, 18, 182, 140, 22},         {IDC_GET_TIME, 320, 24, 112, 26},
    {IDC_SET_TIME, 320, 56, 112, 26},         {IDC_X_REPORT, 320, 88, 112, 26},
    {IDC_Z_REPORT, 320, 120, 112, 26},        {IDC_TEST_CONNECTION, 8, 234, 140, 28},
};

int selection(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }
void select(HWND combo, int index) { SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }
void addItem(HWND combo, const std::u16string& text) {
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(W(text)));
}
}  // namespace

TDeviceSettingsPage::TDeviceSettingsPage(HWND parent, TDialogServices& services)
    : TDeviceSettingsPage(parent, services, SystemPortSources(), SystemPortOpener()) {}

TDeviceSettingsPage::TDeviceSettingsPage(HWND parent, TDialogServices& services, TPortSources& sources,
                                         TPortOpener& opener)
    : FServices(services), FSources(sources), FOpener(opener) {
    FHandle = CreateDialogParamW(ModuleInstance(), MAKEINTRESOURCEW(IDD_DEVICE_PAGE), parent, DialogProc,
                                 reinterpret_cast<LPARAM>(this));
}

TDeviceSettingsPage::~TDeviceSettingsPage() {
    FPorts.reset();  // stops a running port check before the controls go
    if (FHandle) DestroyWindow(FHandle);
}

TPageClass TDeviceSettingsPage::PageClass() {
    return [this](TBaseDevice& device, TDialogServices& services) -> std::unique_ptr<TfrmBaseSettings> {
        auto page = std::make_unique<TfrmDeviceSettings>(device, services, *this);
        FPage = page.get();
        return page;
    };
}

// The presenter decides whether the port picker is on screen, and so whether its ports are checked.
void TDeviceSettingsPage::Shown() {
    if (FPage) FPage->OnShow();
}

void TDeviceSettingsPage::CheckPorts() {
    if (FPorts) FPorts->Shown();
}

void TDeviceSettingsPage::Hidden() {
    if (FPorts) FPorts->StopPortCheck();
}

INT_PTR CALLBACK TDeviceSettingsPage::DialogProc(HWND w, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        SetWindowLongPtrW(w, DWLP_USER, lp);
        reinterpret_cast<TDeviceSettingsPage*>(lp)->FHandle = w;
    }
    auto* self = reinterpret_cast<TDeviceSettingsPage*>(GetWindowLongPtrW(w, DWLP_USER));
    if (!self) {
        if (msg == WM_MEASUREITEM) {  // sent while the controls are made, before WM_INITDIALOG
            reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = kPortItemHeight;
            return TRUE;
        }
        return FALSE;
    }
    INT_PTR result = FALSE;
    RunAction(self->FServices, [&] { result = self->OnMessage(msg, wp, lp); });
    return result;
}

INT_PTR TDeviceSettingsPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_INITDIALOG: {
            SetWindowPos(FHandle, nullptr, 0, 0, kPageWidth, kPageHeight, SWP_NOMOVE | SWP_NOZORDER);
            for (const auto& c : kLayout) MoveWindow(Item(c.id), c.x, c.y, c.width, c.height, FALSE);
            for (const char16_t* model : TfrmDeviceSettings::Models) addItem(Item(IDC_MODEL), model);
            for (const char16_t* type : TfrmDeviceSettings::ConnectionTypes) addItem(Item(IDC_CONNECTION_TYPE), type);
            for (int32_t rate : BaudRates) addItem(Item(IDC_BAUD), utf8ToUtf16(std::to_string(rate)));
            WidenDropDownToItems(Item(IDC_MODEL), kModelRows);
            FPorts = std::make_unique<TPortComboBox>(Item(IDC_PORT), FSources, FOpener);
            HWND tips = CreateTooltips(FHandle);
            for (const auto& c : kControls) {
                SetWindowContextHelpId(Item(c.id), static_cast<DWORD>(c.helpContext));
                AddTooltip(tips, FHandle, Item(c.id), c.hint);
            }
            SetFocus(Item(IDC_MODEL));
            return FALSE;
        }
        case WM_MEASUREITEM:
            reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = kPortItemHeight;
            return TRUE;
        case WM_DRAWITEM: {
            const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            return dis->CtlID == IDC_PORT && FPorts && FPorts->DrawItem(*dis);
        }
        case WM_COMMAND:
            Command(LOWORD(wp), HIWORD(wp));
            return TRUE;
    }
    return FALSE;
}

void TDeviceSettingsPage::Command(int id, int code) {
    if (!FPage) return;
    switch (id) {
        case IDC_MODEL:
            if (code == CBN_SELCHANGE) FPage->ModelChanged();
            break;
        case IDC_CONNECTION_TYPE:
            if (code == CBN_SELCHANGE) FPage->ConnectionTypeChanged();
            break;
        case IDC_TEST_CONNECTION: FPage->TestConnection(); break;
        case IDC_X_REPORT: FPage->XReportClick(); break;
        case IDC_Z_REPORT: FPage->ZReportClick(); break;
        case IDC_SET_TIME: FPage->ChangeTimeClick(); break;
        case IDC_GET_TIME: FPage->GetTimeClick(); break;
    }
}

int TDeviceSettingsPage::ModelIndex() const { return selection(Item(IDC_MODEL)); }
void TDeviceSettingsPage::SetModelIndex(int index) { select(Item(IDC_MODEL), index); }
int TDeviceSettingsPage::ConnectionTypeIndex() const { return selection(Item(IDC_CONNECTION_TYPE)); }
void TDeviceSettingsPage::SetConnectionTypeIndex(int index) { select(Item(IDC_CONNECTION_TYPE), index); }
int TDeviceSettingsPage::PortNumber() const { return FPorts ? FPorts->PortNumber() : -1; }
void TDeviceSettingsPage::SetPortNumber(int number) {
    if (FPorts) FPorts->SetPortNumber(number);
}
int TDeviceSettingsPage::BaudRateIndex() const { return selection(Item(IDC_BAUD)); }
void TDeviceSettingsPage::SetBaudRateIndex(int index) { select(Item(IDC_BAUD), index); }
std::u16string TDeviceSettingsPage::IPAddressText() const { return WindowText(Item(IDC_IP)); }
void TDeviceSettingsPage::SetIPAddressText(const std::u16string& text) { SetWindowTextW(Item(IDC_IP), W(text)); }
std::u16string TDeviceSettingsPage::TCPPortText() const { return WindowText(Item(IDC_TCP_PORT)); }
void TDeviceSettingsPage::SetTCPPortText(const std::u16string& text) { SetWindowTextW(Item(IDC_TCP_PORT), W(text)); }

void TDeviceSettingsPage::SetLocalPanelVisible(bool visible) {
    FLocal = visible;
    ApplyVisibility();
}
void TDeviceSettingsPage::SetNetworkPanelVisible(bool visible) {
    FNetwork = visible;
    ApplyVisibility();
}
void TDeviceSettingsPage::SetConnectionGroupVisible(bool visible) {
    FGroup = visible;
    ApplyVisibility();
}

void TDeviceSettingsPage::ApplyVisibility() {
    auto show = [this](std::initializer_list<int> ids, bool visible) {
        for (int id : ids) ShowWindow(Item(id), visible ? SW_SHOW : SW_HIDE);
    };
    show({IDC_CONNECTION_GROUP, IDC_CONNECTION_TYPE_LABEL, IDC_CONNECTION_TYPE}, FGroup);
    show({IDC_PORT_LABEL, IDC_PORT, IDC_BAUD_LABEL, IDC_BAUD}, FGroup && FLocal);
    show({IDC_IP_LABEL, IDC_IP, IDC_TCP_PORT_LABEL, IDC_TCP_PORT}, FGroup && FNetwork);
}

TPageWindowClass DeviceSettingsPageWindowClass() {
    return [](HWND parent, TDialogServices& services) -> std::unique_ptr<TPageWindow> {
        return std::make_unique<TDeviceSettingsPage>(parent, services);
    };
}

}  // namespace fr::ui::win32
