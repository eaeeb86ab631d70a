#pragma once
#include "ui/uBaseSettings.h"

namespace fr::ui::win32 {

template <class Action>
void RunAction(TDialogServices& services, Action&& action) noexcept {
    try {
        action();
    } catch (const EAbort&) {
    } catch (const EError& e) {
        try {
            services.ShowError(e.message());
        } catch (...) {
        }
    } catch (const std::exception& e) {
        try {
            services.ShowError(u"Внутренняя ошибка драйвера");
        } catch (...) {
        }
    } catch (...) {
    }
}

}  // namespace fr::ui::win32
