#include "ui/uSettingsList.h"

#include "dispatch/uSettings.h"

namespace fr::ui {

namespace {

// A value as the list shows it. Values come from the host through SetSettings and may be of any
// kind; what has no text (Null, an array, an object) shows as an empty cell.
std::u16string ValueText(const Variant& value) noexcept {
    try {
        if (value.isEmptyOrNull()) return {};
        return value.toText();
    } catch (...) {
        return {};
    }
}

// Whether the drop-down list opens on "True". A value that is no Boolean at all opens on "False".
bool ValueIsTrue(const Variant& value) noexcept {
    try {
        return !value.isEmptyOrNull() && value.toBool();
    } catch (...) {
        return false;
    }
}

}  // namespace

TfrmSettingsList::TfrmSettingsList(TBaseDevice& device, TSettingsListView& view)
    : FDeviceManager(device), FView(view) {
    FView.SetRowCount(FDeviceManager.SettingsCount());
    FView.RedrawAll();
}

std::u16string TfrmSettingsList::CellText(int row, int column) const noexcept {
    const TSettingStruct* s = FDeviceManager.GetSetting(row);
    if (!s) return {};
    try {
        switch (column) {
            case colName: return s->Name;
            case colValue: return ValueText(s->Value);
            case colDefault: return ValueText(s->Default);
            default: return {};
        }
    } catch (...) {
        return {};
    }
}

void TfrmSettingsList::BeginEdit() {
    if (EditorShown()) return;
    const int row = FView.SelectedRow();
    if (row < 0) return;
    TRowBounds rowBounds;
    if (!FView.FocusedRowBounds(rowBounds)) return;
    const TSettingStruct* s = FDeviceManager.GetSetting(row);
    if (!s) return;
    // Read-only settings are edited like any other: the flag is for the host.
    if (s->ValueType == TDataType::dtBoolean) {
        FEditControl = TSettingsEditor::seList;
        FView.SetListIndex(ValueIsTrue(s->Value) ? 1 : 0);
    } else {
        FEditControl = TSettingsEditor::seEdit;
        FView.SetEditText(ValueText(s->Value));
    }
    // Over the value cell; the extra height covers the editor's own border.
    TRowBounds editor;
    editor.Left = rowBounds.Left + FView.ColumnWidth(colName) + 3;
    editor.Top = rowBounds.Top;
    editor.Height = rowBounds.Height + 7;
    editor.Width = FView.ColumnWidth(colValue);
    FEditRow = row;
    FView.ShowEditor(FEditControl, editor);
}

void TfrmSettingsList::EndEdit(bool cancel) {
    if (!EditorShown()) return;
    if (TSettingStruct* s = FDeviceManager.GetSetting(FEditRow); s && !cancel) {
        // Stored as given, with no check against the type: the store takes what the host would.
        if (FEditControl == TSettingsEditor::seList)
            s->Value = Variant(FView.ListIndex() == 1);
        else
            s->Value = TextToSettingValue(s->ValueType, FView.EditText());
        FView.RedrawRow(FEditRow);
    }
    // Hiding the focused editor takes the focus from it, which asks to close it once more: by then
    // it belongs to no row, so an Escape stays an Escape.
    FEditRow = -1;
    FView.HideEditor(FEditControl);
    FView.FocusList();
}

void TfrmSettingsList::EditorEnter() {
    if (EditorShown())
        EndEdit(false);
    else
        BeginEdit();
}

void TfrmSettingsList::EditorEscape() {
    if (EditorShown()) EndEdit(true);
}

void TfrmSettingsList::ItemChanged(int row) {
    EndEdit(false);
    if (const TSettingStruct* s = FDeviceManager.GetSetting(row)) FView.SetStatusText(s->Description);
}

void TfrmSettingsList::DefaultsButton() {
    FDeviceManager.SetAllSettingsDefault();
    FView.RedrawAll();
}

void TfrmSettingsList::DefaultMenuItem() {
    const int row = FView.SelectedRow();
    if (TSettingStruct* s = FDeviceManager.GetSetting(row)) {
        s->Value = s->Default;
        FView.RedrawRow(row);
    }
}

}  // namespace fr::ui
