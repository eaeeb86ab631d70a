#include "dispatch/uDeviceInfo.h"

#include <cstdio>

#include "automation/Text.h"
#include "platform/Platform.h"

namespace fr {

void SetDefaultDeviceInfo(TDeviceInfoStruct& info) {
    info = TDeviceInfoStruct{};
    info.TypeName = u"Unknown";
    const auto v = platform::fileVersion();
    info.MajorVersion = v.major;
    info.MinorVersion = v.minor;
    info.BuildVersion = v.build;
    info.ProcessorType = 1;
    info.DeveloperName = SupportContacts::DeveloperName;
    info.CI_email = SupportContacts::Email;
    info.CI_www = SupportContacts::Web;
    info.CI_Phones = SupportContacts::Phones;
    info.CI_address = SupportContacts::Address;
}

Variant DeviceInfoToArray(const TDeviceInfoStruct& i) {
    return Variant(VariantArray::vector({
        Variant(i.TypeName), Variant(i.ModelID), Variant(i.ModelName), Variant(i.MajorVersion),
        Variant(i.MinorVersion), Variant(i.BuildVersion), Variant(i.ProcessorName), Variant(i.ProcessorType),
        Variant(i.IsSettingsDlgExist), Variant(i.Description), Variant(i.DeveloperName), Variant(i.CI_email),
        Variant(i.CI_www), Variant(i.CI_Phones), Variant(i.CI_address),
    }));
}

std::u16string DeviceVersionText(const TDeviceInfoStruct& info) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%d.%d.%d", info.MajorVersion, info.MinorVersion, info.BuildVersion);
    return utf8ToUtf16(buf);
}

std::u16string EquipmentTypeCaption(const std::u16string& typeName) {
    static const std::pair<const char16_t*, const char16_t*> kCaptions[] = {
        {u"Unknown", u"Неизвестный тип"},
        {u"Template", u"Шаблон"},
        {u"Scanner", u"Сканер штрихкодов"},
        {u"FiscalPrinter", u"Фискальный регистратор"},
        {u"EcrOnline", u"ККТ с функцией передачи в ОФД"},
        {u"AcquiringTerminal", u"Эквайринг-терминал"},
        {u"DataCollectionTerminal", u"Терминал сбора данных"},
        {u"LineDisplay", u"Дисплей покупателя"},
        {u"CardReader", u"Считыватель карт"},
        {u"Scale", u"Электронные весы"},
        {u"ServicePrinter", u"Сервисный принтер"},
        {u"AccessController", u"Контроллер доступа"},
        {u"LabelPrinter", u"Принтер этикеток"},
        {u"BiometricReader", u"Биометрический считыватель"},
        {u"ElectronicLocks", u"Электронные замки"},
        {u"SMSCommunicator", u"СМС-коммуникатор"},
        {u"EventLogger", u"Регистратор событий"},
        {u"TimePhasedServicesController", u"Контроллер временных услуг"},
        {u"CustomerFeedbackTerminal", u"Терминал опроса клиентов"},
        {u"BillValidator", u"Купюроприемник"},
        {u"CoffeeMachine", u"Кофемашина"},
        {u"ServiceTerminal", u"Терминал услуг"},
        {u"BloodPressureMonitor", u"Тонометр"},
        {u"AlcoTester", u"Алкотестер"},
        {u"VideoCamera", u"Видеокамера"},
        {u"LoyaltySystem", u"Система лояльности"},
        {u"Thermometer", u"Термометр"},
    };
    for (const auto& [name, caption] : kCaptions)
        if (typeName == name) return caption;
    return typeName;
}

std::u16string ContactBlockText(const TDeviceInfoStruct& info) {
    return u"E-mail:\t" + info.CI_email + u"\r\nWeb:\t" + info.CI_www + u"\r\nТел:\t" + info.CI_Phones +
           u"\r\nАдрес:\t" + info.CI_address + u"\r\n";
}

}  // namespace fr
