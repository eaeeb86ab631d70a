#include "replay/LogReplay.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <vector>

#include "adapter/uDriver.h"
#include "automation/Errors.h"
#include "automation/Text.h"
#include "dispatch/uLogText.h"
#include "replay/LogRebuild.h"
#include "replay/ReplayAnswer.h"
#include "replay/ReplayFaults.h"
#include "uEmuAutomation.h"
#include "uEmuStore.h"

namespace fr::replay {

namespace {

namespace fs = std::filesystem;

// Counts the register calls of one emulator object, by name, as its faults file counts them.
class CountingObject : public AutomationObject {
public:
    CountingObject(std::shared_ptr<AutomationObject> inner, std::map<std::u16string, int>& counts)
        : FInner(std::move(inner)), FCounts(counts) {}
    using AutomationObject::call;
    Variant call(const std::u16string& name, std::vector<Arg>& args) override {
        ++FCounts[asciiUpperCase(name)];
        return FInner->call(name, args);
    }
    void setProperty(const std::u16string& name, const Variant& value) override { FInner->setProperty(name, value); }

private:
    std::shared_ptr<AutomationObject> FInner;
    std::map<std::u16string, int>& FCounts;
};

struct Instance {
    int number = 0;
    std::map<std::u16string, int> calls;  // register calls of its emulator object: made before the driver, so it outlives it
    std::shared_ptr<TDriverFR> driver;
    std::unique_ptr<DispatchObject> dispatch;
};

std::string u8s(std::u16string_view s) { return utf16ToUtf8(s); }

class Replay {
public:
    Replay(const DebugLogRead& log, const ReplayOptions& o, std::ostream& out)
        : log(log), o(o), out(out), store(o.folder) {}

    ReplaySummary run() {
        std::error_code ec;
        fs::create_directories(o.folder, ec);
        const uintmax_t tapeBefore = fileSize(store.tapePath());
        {
            ScopedOleFactoryHook hook([this](const std::u16string& progId) -> std::shared_ptr<AutomationObject> {
                if (!sameTextAscii(progId, kUniversalDriverProgID)) return nullptr;
                auto emu = std::make_shared<DispatchObject>(std::make_shared<emu::TEmuAutomation>(o.folder));
                return std::make_shared<CountingObject>(emu, current->calls);
            });
            for (const std::u16string& n : log.notes) out << "  " << u8s(n) << "\n";
            for (const LogEvent& e : log.events) {
                if (e.kind == LogEvent::Kind::Header) header(e);
                else call(e);
                if (stop) break;
            }
            instances.clear();  // the drivers let go of the register while the hook still stands
        }
        if (o.faults) writeFaults();
        out << "\nЛента повтора (" << u8s(store.tapePath().u16string()) << "):\n" << tapeSince(tapeBefore);
        summary();
        return s;
    }

private:
    static uintmax_t fileSize(const fs::path& p) {
        std::error_code ec;
        const uintmax_t n = fs::file_size(p, ec);
        return ec ? 0 : n;
    }

    std::string tapeSince(uintmax_t offset) const {
        std::ifstream tape(store.tapePath(), std::ios::binary);
        tape.seekg(static_cast<std::streamoff>(offset));
        return std::string((std::istreambuf_iterator<char>(tape)), std::istreambuf_iterator<char>());
    }

    Instance& instance(const std::u16string& id) {
        auto it = instances.find(id);
        if (it != instances.end()) return it->second;
        Instance& i = instances[id];
        i.number = static_cast<int>(instances.size());
        i.driver = TBaseObject::create<TDriverFR>();
        i.dispatch = std::make_unique<DispatchObject>(i.driver);
        out << "  #" << i.number << " = " << u8s(id) << "\n";
        return i;
    }

    ReplayAnswer invoke(Instance& i, const std::u16string& method, const Variant& in) {
        current = &i;
        ReplayAnswer a;
        std::vector<Arg> args{Arg(in), Arg(Variant(), true), Arg(Variant(0))};
        try {
            a.value = i.dispatch->call(method, args).toBool();
            a.out = args[1].value;
            a.text = VariantToLogText(Variant(a.value)) + u" " + VariantToLogText(a.out);
        } catch (const EError& e) {
            a.raised = true;
            a.text = u"EXCEPTION " + utf8ToUtf16(e.className()) + u": " + e.message();
        } catch (const std::exception& e) {
            a.raised = true;
            a.text = u"EXCEPTION " + utf8ToUtf16(e.what());
        }
        return a;
    }

    // Enable after the settings the header lists: the register is the emulator, the log stays off.
    void header(const LogEvent& e) {
        Instance& i = instance(e.instance);
        const TFormatSettings& fs = processFormatSettings();
        std::vector<std::pair<std::u16string, Variant>> values;
        std::vector<std::u16string> notes;
        for (const LogSetting& st : e.settings) {
            TSettingStruct* known = i.driver->FindSetting(st.id);
            if (!known) {
                notes.push_back(u"строка " + num(st.line) + u": настройки " + st.id + u" у драйвера нет");
                continue;
            }
            LogRebuild r = RebuildLogValue(st.value, {}, fs);
            if (!r.value) {
                notes.push_back(u"строка " + num(st.line) + u": " + st.id + u": " + r.failure);
                continue;
            }
            for (const std::u16string& g : r.guesses) notes.push_back(u"строка " + num(st.line) + u": " + st.id + u": " + g);
            Variant v = *r.value;
            if (known->ValueType == TDataType::dtString && !v.isText() && !v.isEmptyOrNull())
                v = Variant(st.value);  // a text setting that happens to read as a number
            if (sameTextAscii(st.id, u"DebugLogEnabled")) v = Variant(false);
            if (sameTextAscii(st.id, u"ModelIndex") && !(v.isNumeric() && v.toInt() == kEmulatorModelIndex)) {
                notes.push_back(u"модель " + st.value + u" заменена эмулятором (8)");
                v = Variant(kEmulatorModelIndex);
            }
            values.emplace_back(known->ID, std::move(v));
        }
        // Whatever the log says or leaves out, the register is the emulator.
        if (std::none_of(values.begin(), values.end(), [](const auto& v) { return sameTextAscii(v.first, u"ModelIndex"); }))
            values.emplace_back(u"ModelIndex", Variant(kEmulatorModelIndex));
        if (e.kind == LogEvent::Kind::Header && !e.complete)
            notes.push_back(u"заголовок не дописан: применены прочитанные настройки");
        VariantArray table = VariantArray::matrix(2, static_cast<uint32_t>(values.size()));
        for (size_t k = 0; k < values.size(); ++k) {
            table.at({0, static_cast<int32_t>(k)}) = Variant(values[k].first);
            table.at({1, static_cast<int32_t>(k)}) = values[k].second;
        }
        const ReplayAnswer set = invoke(i, u"SetSettings", Variant(VariantArray::vector({Variant(std::move(table))})));
        const ReplayAnswer enable = invoke(i, u"Enable", Variant());
        out << time(e.time) << " #" << i.number << " Enable (";
        if (e.line && e.kind == LogEvent::Kind::Header)
            out << "заголовок, строка " << e.line << ", настроек: " << e.settings.size();
        else
            out << "заголовка в журнале нет, настройки драйвера по умолчанию";
        out << "): повтор " << u8s(enable.text) << "\n";
        if (!set.value || set.raised) out << "    SetSettings: " << u8s(set.text) << "\n";
        for (const std::u16string& n : notes) out << "    " << u8s(n) << "\n";
    }

    void call(const LogEvent& e) {
        if (!e.isPublic) {
            auto known = instances.find(e.instance);
            out << time(e.time) << " #" << (known == instances.end() ? std::string("?") : std::to_string(known->second.number))
                << " " << u8s(e.method) << ": строка " << e.line
                << ": Init, Open и Close не повторяются: у повтора свой объект и свой эмулятор\n";
            ++s.privateCalls;
            return;
        }
        if (!WithinTimes(e.time, o.from, o.to)) {
            ++s.outside;
            return;
        }
        const bool fresh = instances.find(e.instance) == instances.end();
        Instance& i = instance(e.instance);
        const std::string head = time(e.time) + " #" + std::to_string(i.number) + " " + u8s(e.method);
        if (fresh) {
            // The log began after this object's Enable (the day's file starts at midnight): the
            // driver's own settings, on the emulator.
            LogEvent none;
            none.kind = LogEvent::Kind::Call;
            none.instance = e.instance;
            none.time = e.time;
            none.line = e.line;
            header(none);
        }
        int32_t dispid = 0;
        if (i.driver->getIDsOfNames(e.method, dispid) != 0) {
            out << head << ": пропущен: строка " << e.line << ": у драйвера нет такого метода\n";
            ++s.skipped;
            return;
        }
        LogRebuild in = RebuildLogValue(e.input, InDataHints(e.method), processFormatSettings());
        if (!in.value) {
            out << head << ": пропущен: строка " << e.line << ": InData не восстановить: " << u8s(in.failure) << "\n";
            ++s.skipped;
            return;
        }
        const std::u16string logged = LoggedAnswerText(e);
        std::optional<std::u16string> fault;
        if (o.faults) fault = prepareFault(e, i, *in.value);
        const ReplayAnswer a = invoke(i, e.method, *in.value);
        if (fault) {
            std::error_code ec;
            fs::remove(store.faultsPath(), ec);
        }
        ++s.replayed;
        const char* mark = "?";
        if (e.ended || !e.exception.empty()) {
            const bool same = SameAnswer(e, a);
            mark = same ? "=" : "≠";
            ++(same ? s.matched : s.differed);
            if (!same && o.stopOnDiff) stop = true;
        } else {
            ++s.notCompared;
        }
        out << head << ": журнал " << u8s(logged) << " | повтор " << u8s(a.text) << " " << mark << "\n";
        if (!in.guesses.empty()) {
            ++s.guessed;
            out << "    догадки:";
            for (size_t k = 0; k < in.guesses.size(); ++k) out << (k ? "; " : " ") << u8s(in.guesses[k]);
            out << "\n";
        }
        if (fault) out << "    сбой эмулятора: " << u8s(*fault) << "\n";
        for (const std::u16string& n : faultNotes) out << "    " << u8s(n) << "\n";
        faultNotes.clear();
    }

    // A register error in the log: the emulator's next such call answers the same, through a faults
    // file laid for this call alone (the emulator counts from the moment it reads the file), and the
    // rule for the whole day is kept with the call's number since the emulator object was made.
    std::optional<std::u16string> prepareFault(const LogEvent& e, Instance& i, const Variant& in) {
        int32_t code = 0;
        std::u16string text;
        if (!LoggedError(e, code, text) || code <= 0 || code > kLastVendorCode) return std::nullopt;
        // The driver shows the code after the register's text; the register itself does not.
        const std::u16string shown = u" [" + num(code) + u"]";
        if (text.size() >= shown.size() && text.ends_with(shown)) text.resize(text.size() - shown.size());
        std::optional<std::u16string> call = RegisterCallOf(e.method, in);
        if (!call) {
            faultNotes.push_back(u"ошибку ККТ " + num(code) + u" не повторить: у метода нет своего вызова ККТ");
            return std::nullopt;
        }
        const std::u16string now = FaultRule(*call, 1, code, text);
        {
            // The log's line makes each file another: the emulator reads a file again, and counts
            // afresh, only when its content changed.
            std::ofstream f(store.faultsPath(), std::ios::binary | std::ios::trunc);
            f << "# fr-cli replay, строка " << e.line << "\n" << u8s(now) << "\n";
        }
        // Objects count alike: the same rule made again for another object is already there.
        const std::u16string rule = FaultRule(*call, i.calls[asciiUpperCase(*call)] + 1, code, text);
        if (std::find(rules.begin(), rules.end(), rule) == rules.end()) {
            rules.push_back(u"# строка " + num(e.line) + u", #" + num(i.number) + u" " + e.method);
            rules.push_back(rule);
            ++s.faults;
        }
        return now;
    }

    void writeFaults() {
        std::ofstream f(store.faultsPath(), std::ios::binary | std::ios::trunc);
        f << "# Ошибки ККТ из журнала, как их повторил fr-cli replay. Номер вызова считается от\n"
             "# создания объекта эмулятора: каждый объект драйвера создаёт свой. Положите файл в\n"
             "# папку нового эмулятора, чтобы пройти тот же день из приложения.\n";
        if (instances.size() > 1)
            f << "# В журнале несколько объектов драйвера: правило сработает у каждого на том же номере.\n";
        for (const std::u16string& r : rules) f << u8s(r) << "\n";
        out << "\nФайл сбоев: " << u8s(store.faultsPath().u16string()) << " (правил: " << s.faults << ")\n";
    }

    void summary() {
        out << "\nИтого: повторено " << s.replayed << ", совпало " << s.matched << ", различается " << s.differed
            << ", без записанного ответа " << s.notCompared << ", пропущено " << s.skipped;
        if (s.outside) out << ", вне времени " << s.outside;
        if (s.privateCalls) out << ", Init/Open/Close " << s.privateCalls;
        out << "; с догадками " << s.guessed << "\n";
    }

    static std::u16string num(int64_t n) { return utf8ToUtf16(std::to_string(n)); }
    static std::string time(const std::u16string& t) { return u8s(t.size() >= 23 ? t.substr(11) : t); }

    const DebugLogRead& log;
    const ReplayOptions& o;
    std::ostream& out;
    emu::TEmuStore store;
    std::map<std::u16string, Instance> instances;
    Instance* current = nullptr;
    ReplaySummary s;
    bool stop = false;
    std::vector<std::u16string> rules, faultNotes;
};

}  // namespace

bool WithinTimes(const std::u16string& time, const std::u16string& from, const std::u16string& to) {
    // A bound without a date is a time of day; both compare as text over the bound's length.
    auto part = [&](const std::u16string& bound) {
        const std::u16string t = bound.size() > 2 && bound[2] == u':' ? time.substr(std::min<size_t>(11, time.size())) : time;
        return t.substr(0, bound.size());
    };
    if (!from.empty() && part(from) < from) return false;
    if (!to.empty() && part(to) > to) return false;
    return true;
}

ReplaySummary RunReplay(const DebugLogRead& log, const ReplayOptions& options, std::ostream& out) {
    // The driver's process formats are what the log's numbers and dates were written in.
    SetDriverProcessFormats();
    return Replay(log, options, out).run();
}

}  // namespace fr::replay
