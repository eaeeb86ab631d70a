#include "ui/uDialogServices.h"

namespace fr::ui {

TWaitCursor::TWaitCursor(TDialogServices& services) : FServices(services) { FServices.BeginWaitCursor(); }

TWaitCursor::~TWaitCursor() { FServices.EndWaitCursor(); }

}  // namespace fr::ui
