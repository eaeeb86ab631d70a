#pragma once
// The emulator's automation face: the universal driver's methods and properties, called by name
// (ASCII case-insensitive) as the driver and script hosts do. Every call but the three error
// properties leaves its outcome in LastError / LastErrorText / LastErrorExText; a refused call
// returns normally with the error state set, as the vendor's object does. Methods return the
// error code.
#include <filesystem>
#include <memory>
#include <string>

#include "automation/AutomationObject.h"
#include "uEmuFaults.h"

namespace fr::emu {

class TEmuDevice;

constexpr int32_t kEmulatorModel = 100;

class TEmuAutomation : public DispatchTarget {
public:
    // The folder is fixed when the object is made (FR_EMULATOR_DIR or the user's data folder).
    explicit TEmuAutomation(std::filesystem::path folder = {});
    ~TEmuAutomation() override;

    HResult getIDsOfNames(const std::u16string& name, int32_t& dispid) override;
    HResult invoke(int32_t dispid, uint16_t flags, std::vector<Variant>& args, Variant& result,
                   ExcepInfo& excep) override;

    struct Method;

private:
    Variant run(const Method& m, std::vector<Variant>& args);
    TEmuDevice& device();                       // after start and a successful OpenPort
    void setError(int32_t code, std::u16string text, std::u16string extended);

    friend struct TEmuCalls;
    std::filesystem::path FFolder;
    TEmuFaults FFaults;
    std::shared_ptr<TEmuDevice> FDevice;
    bool FStarted = false, FPortOpen = false;
    int32_t FModel = -1;
    int32_t FLastError = 0;
    std::u16string FLastErrorText, FLastErrorExText;
};

// Makes "Vornlex.FiscalPrinter" creatable through fr::CreateOleObject in this process (the
// native build's stand-in for COM registration). Idempotent.
void registerEmulatorClass();

}  // namespace fr::emu
