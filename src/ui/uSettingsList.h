#pragma once
// The settings list editor: every setting of a device in a three-column list (name, value,
// default), edited in place with a text box or, for Booleans, a False/True drop-down list. Edits go
// straight into the device's store; the caller keeps a snapshot to undo them on Cancel.
//
// TfrmSettingsList holds the rules; the window behind TSettingsListView only draws and reports.
#include <string>

#include "device/uBaseDevice.h"

namespace fr::ui {

// The two in-place editors.
enum class TSettingsEditor { seEdit, seList };

// A rectangle in the list's client coordinates.
struct TRowBounds {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const TRowBounds&) const = default;
};

class TSettingsListView {
public:
    virtual ~TSettingsListView() = default;
    virtual void SetRowCount(int count) = 0;
    // -1 when no row is selected.
    virtual int SelectedRow() const = 0;
    // The row with the keyboard focus; false when there is none.
    virtual bool FocusedRowBounds(TRowBounds& bounds) const = 0;
    virtual int ColumnWidth(int column) const = 0;

    virtual bool EditorShown(TSettingsEditor editor) const = 0;
    // Moves the editor to the bounds, shows it and gives it the keyboard focus.
    virtual void ShowEditor(TSettingsEditor editor, const TRowBounds& bounds) = 0;
    virtual void HideEditor(TSettingsEditor editor) = 0;
    virtual std::u16string EditText() const = 0;
    virtual void SetEditText(const std::u16string& text) = 0;
    // The drop-down list's selected item: 0 "False", 1 "True", -1 none.
    virtual int ListIndex() const = 0;
    virtual void SetListIndex(int index) = 0;

    virtual void FocusList() = 0;
    virtual void RedrawRow(int row) = 0;
    virtual void RedrawAll() = 0;
    virtual void SetStatusText(const std::u16string& text) = 0;
};

class TfrmSettingsList {
public:
    enum TColumn { colName = 0, colValue = 1, colDefault = 2 };

    // Neither is owned. Tells the view the row count and redraws every row.
    TfrmSettingsList(TBaseDevice& device, TSettingsListView& view);
    TfrmSettingsList(const TfrmSettingsList&) = delete;
    TfrmSettingsList& operator=(const TfrmSettingsList&) = delete;

    int RowCount() const { return FDeviceManager.SettingsCount(); }
    // What the list draws in a cell; empty for a row without a setting. Never raises, as the list
    // asks from its window procedure.
    std::u16string CellText(int row, int column) const noexcept;
    TSettingsEditor CurrentEditor() const { return FEditControl; }

    // Opens the editor over the value cell of the selected row.
    void BeginEdit();
    // Closes the editor, writing its value into the setting unless cancel.
    void EndEdit(bool cancel);

    // ---- what the user does ----
    // Double click, Enter or F2 in the list, the "Редактировать" menu item.
    void EditRequested() { BeginEdit(); }
    void ListEscape() { EndEdit(false); }
    void EditorEnter();
    void EditorEscape();
    void EditorFocusLost() { EndEdit(false); }
    // The selection or an item's state changed: `row` is the item concerned.
    void ItemChanged(int row);
    // "По-умолчанию" button: every setting back to its default.
    void DefaultsButton();
    // "По-умолчанию" menu item: the selected setting back to its default.
    void DefaultMenuItem();

private:
    bool EditorShown() const { return FView.EditorShown(FEditControl); }

    TBaseDevice& FDeviceManager;
    TSettingsListView& FView;
    TSettingsEditor FEditControl = TSettingsEditor::seEdit;
    // The row the open editor belongs to: the list reports a selection change after the
    // selection has moved, and the value must still land on the row it was typed for.
    int FEditRow = -1;
};

}  // namespace fr::ui
