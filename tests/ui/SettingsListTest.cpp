// The settings list editor's rules, through a recording view: row texts, the editor chosen and
// where it goes, what a commit stores, and the keys, clicks and buttons that open and close it.
#include <gtest/gtest.h>

#include <vector>

#include "automation/DateTime.h"
#include "SettingsListDevice.h"
#include "ui/uSettingsList.h"

using namespace fr;
using namespace fr::ui;
using namespace fr::test;

namespace {

const std::u16string kDecimal(1, processFormatSettings().DecimalSeparator);
const double kDate = kSettingsListDate;

class TEmptyDevice : public TBaseDevice {
protected:
    void DeclareSettings() override {}
};

// Behaves as the window does: one selected row that is also the focused one, and an editor that
// takes the focus when shown and, when hidden while focused, loses it (which asks the presenter to
// close it again).
class TFakeView : public TSettingsListView {
public:
    TfrmSettingsList* Presenter = nullptr;
    int Rows = -1;
    int Selected = -1;
    TRowBounds Row{-4, 36, 370, 17};
    bool Shown[2] = {false, false};
    TRowBounds Placed;
    std::u16string Text;
    int Index = -1;
    enum TFocus { fcList, fcEdit, fcCombo } Focus = fcList;
    std::vector<int> Redrawn;
    int RedrawnAll = 0;
    std::u16string Status;

    void SetRowCount(int count) override { Rows = count; }
    int SelectedRow() const override { return Selected; }
    bool FocusedRowBounds(TRowBounds& bounds) const override {
        if (Selected < 0) return false;
        bounds = Row;
        return true;
    }
    int ColumnWidth(int column) const override { return column == 0 ? 190 : 90; }
    bool EditorShown(TSettingsEditor editor) const override { return Shown[Slot(editor)]; }
    void ShowEditor(TSettingsEditor editor, const TRowBounds& bounds) override {
        Placed = bounds;
        Shown[Slot(editor)] = true;
        SetFocus(editor == TSettingsEditor::seEdit ? fcEdit : fcCombo);
    }
    // The focus leaves before the editor counts as hidden: the worse of the two orders.
    void HideEditor(TSettingsEditor editor) override {
        if (Focus == (editor == TSettingsEditor::seEdit ? fcEdit : fcCombo)) SetFocus(fcList);
        Shown[Slot(editor)] = false;
    }
    std::u16string EditText() const override { return Text; }
    void SetEditText(const std::u16string& text) override { Text = text; }
    int ListIndex() const override { return Index; }
    void SetListIndex(int index) override { Index = index; }
    void FocusList() override { SetFocus(fcList); }
    void RedrawRow(int row) override { Redrawn.push_back(row); }
    void RedrawAll() override { ++RedrawnAll; }
    void SetStatusText(const std::u16string& text) override { Status = text; }

    // A click on another row with no focus change first (keyboard or program): the selection
    // moves, then the list reports the old row losing it and the new one gaining it.
    void MoveSelection(int row) {
        const int old = Selected;
        Selected = row;
        if (old >= 0) Presenter->ItemChanged(old);
        Presenter->ItemChanged(row);
    }
    bool AnyEditorShown() const { return Shown[0] || Shown[1]; }

private:
    static int Slot(TSettingsEditor editor) { return editor == TSettingsEditor::seEdit ? 0 : 1; }
    void SetFocus(TFocus to) {
        const TFocus from = Focus;
        Focus = to;
        if (from != to && from != fcList && Presenter) Presenter->EditorFocusLost();
    }
};

class SettingsList : public ::testing::Test {
protected:
    std::shared_ptr<TBaseDevice> Device = TBaseObject::create<TListDevice>();
    TFakeView View;
    TfrmSettingsList Form{*Device, View};

    void SetUp() override { View.Presenter = &Form; }
    const Variant& Value(int row) { return Device->GetSetting(row)->Value; }
    // Selects a row and opens its editor as Enter in the list does.
    void Edit(int row) {
        View.Selected = row;
        Form.EditRequested();
        ASSERT_TRUE(View.AnyEditorShown());
    }
};

TEST_F(SettingsList, ListsEveryRowWithItsTexts) {
    EXPECT_EQ(View.Rows, rowCount);
    EXPECT_EQ(View.RedrawnAll, 1);
    Device->GetSetting(rowBoolean)->Value = Variant(false);
    Device->GetSetting(rowString)->Value = Variant::null();
    struct Case {
        int row;
        std::u16string name, value, def;
    } cases[] = {
        {rowNumber, u"Таймаут", u"120", u"120"},
        {rowString, u"Кассир", u"", u"Иванов"},  // Null shows as nothing
        {rowBoolean, u"Лог", u"False", u"True"},
        {rowDate, u"С даты", dateTimeToText(kDate, processFormatSettings()), dateTimeToText(kDate, processFormatSettings())},
        {rowCount, u"", u"", u""},
        {-1, u"", u"", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        EXPECT_EQ(Form.CellText(c.row, TfrmSettingsList::colName), c.name);
        EXPECT_EQ(Form.CellText(c.row, TfrmSettingsList::colValue), c.value);
        EXPECT_EQ(Form.CellText(c.row, TfrmSettingsList::colDefault), c.def);
    }
    EXPECT_NE(Form.CellText(rowDate, TfrmSettingsList::colValue).find(u"10:30"), std::u16string::npos);
}

TEST(SettingsListEmpty, ShowsNoRowsAndOpensNoEditor) {
    auto device = TBaseObject::create<TEmptyDevice>();
    TFakeView view;
    TfrmSettingsList form(*device, view);
    view.Presenter = &form;
    EXPECT_EQ(view.Rows, 0);
    form.EditRequested();
    view.Selected = 0;  // even a stale selection has no setting behind it
    form.EditRequested();
    form.EditorEnter();
    EXPECT_FALSE(view.AnyEditorShown());
    EXPECT_EQ(view.Focus, TFakeView::fcList);
}

TEST_F(SettingsList, NoSelectionOpensNothing) {
    Form.EditRequested();
    EXPECT_FALSE(View.AnyEditorShown());
}

// The editor fits the setting's type, starts from its value and covers the value cell.
TEST_F(SettingsList, BeginEditChoosesAndPlacesTheEditor) {
    struct Case {
        int row;
        Variant value;
        TSettingsEditor editor;
        std::u16string text;
        int index;
    } cases[] = {
        {rowNumber, Variant(12.5), TSettingsEditor::seEdit, u"12" + kDecimal + u"5", -1},
        {rowString, Variant(u"Петров"), TSettingsEditor::seEdit, u"Петров", -1},
        {rowDate, Variant::date(kDate), TSettingsEditor::seEdit, dateTimeToText(kDate, processFormatSettings()), -1},
        {rowReadOnly, Variant(u"A-1"), TSettingsEditor::seEdit, u"A-1", -1},
        {rowBoolean, Variant(true), TSettingsEditor::seList, u"", 1},
        {rowBoolean, Variant(false), TSettingsEditor::seList, u"", 0},
        {rowBoolean, Variant(u"TRUE"), TSettingsEditor::seList, u"", 1},  // as SetSettings may leave it
        {rowBoolean, Variant(u"нет"), TSettingsEditor::seList, u"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        Device->GetSetting(c.row)->Value = c.value;
        View.Text.clear();
        View.Index = -1;
        View.Row = TRowBounds{-4, 36 + c.row, 370, 17};
        Edit(c.row);
        EXPECT_EQ(Form.CurrentEditor(), c.editor);
        EXPECT_TRUE(View.EditorShown(c.editor));
        EXPECT_EQ(View.Focus, c.editor == TSettingsEditor::seEdit ? TFakeView::fcEdit : TFakeView::fcCombo);
        EXPECT_EQ(View.Text, c.text);
        EXPECT_EQ(View.Index, c.index);
        // Row left + first column + 3, the row's top, its height + 7, the second column's width.
        EXPECT_EQ(View.Placed, (TRowBounds{189, 36 + c.row, 90, 24}));
        Form.EditorEscape();
        EXPECT_FALSE(View.AnyEditorShown());
    }
}

TEST_F(SettingsList, BeginEditWhileOpenChangesNothing) {
    Edit(rowString);
    View.Text = u"набрано";
    View.Selected = rowNumber;
    Form.EditRequested();
    EXPECT_EQ(View.Text, u"набрано");
    EXPECT_EQ(Form.CurrentEditor(), TSettingsEditor::seEdit);
    EXPECT_EQ(View.Focus, TFakeView::fcEdit);
}

// What Enter in the text box stores, by the setting's type; read-only settings are no exception.
TEST_F(SettingsList, EnterCommitsTheTextByType) {
    struct Case {
        int row;
        std::u16string text;
        Variant stored;
    } cases[] = {
        {rowNumber, u"12" + kDecimal + u"5", Variant(12.5)},
        {rowNumber, u"двенадцать", Variant(0.0)},
        {rowNumber, u"", Variant(0.0)},
        {rowString, u"Петров П.", Variant(u"Петров П.")},
        {rowDate, dateTimeToText(kDate + 1, processFormatSettings()), Variant::date(kDate + 1)},
        {rowDate, u"завтра", Variant(u"завтра")},
        {rowReadOnly, u"B-2", Variant(u"B-2")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        Edit(c.row);
        View.Text = c.text;
        View.Redrawn.clear();
        Form.EditorEnter();
        EXPECT_EQ(Value(c.row), c.stored);
        EXPECT_FALSE(View.AnyEditorShown());
        EXPECT_EQ(View.Focus, TFakeView::fcList);
        EXPECT_EQ(View.Redrawn, std::vector<int>{c.row});
    }
}

TEST_F(SettingsList, TheDropDownStoresABooleanByIndex) {
    for (int index : {0, 1, -1}) {
        SCOPED_TRACE(index);
        Edit(rowBoolean);
        View.Index = index;
        Form.EditorEnter();
        EXPECT_EQ(Value(rowBoolean), Variant(index == 1));  // no item chosen: False
        EXPECT_FALSE(View.EditorShown(TSettingsEditor::seList));
    }
}

TEST_F(SettingsList, EnterOpensThenCommits) {
    View.Selected = rowNumber;
    Form.EditorEnter();
    ASSERT_TRUE(View.EditorShown(TSettingsEditor::seEdit));
    EXPECT_EQ(View.Focus, TFakeView::fcEdit);
    View.Text = u"30";
    Form.EditorEnter();
    EXPECT_EQ(Value(rowNumber), Variant(30.0));
    EXPECT_EQ(View.Focus, TFakeView::fcList);
}

// Escape closes without storing, although hiding the focused editor reports a focus loss, which
// on its own would commit.
TEST_F(SettingsList, EscapeInTheEditorKeepsTheValue) {
    for (int row : {rowNumber, rowBoolean}) {
        SCOPED_TRACE(row);
        const Variant before = Value(row);
        Edit(row);
        View.Text = u"999";
        View.Index = 0;
        View.Redrawn.clear();
        Form.EditorEscape();
        EXPECT_EQ(Value(row), before);
        EXPECT_FALSE(View.AnyEditorShown());
        EXPECT_EQ(View.Focus, TFakeView::fcList);
        EXPECT_TRUE(View.Redrawn.empty());
    }
}

// Escape in the list, focus loss and the list's own selection change all close with a commit.
TEST_F(SettingsList, OtherWaysOutCommit) {
    Edit(rowString);
    View.Text = u"через Escape в списке";
    Form.ListEscape();
    EXPECT_EQ(Value(rowString), Variant(u"через Escape в списке"));

    Edit(rowString);
    View.Text = u"потеря фокуса";
    Form.EditorFocusLost();
    EXPECT_EQ(Value(rowString), Variant(u"потеря фокуса"));
    EXPECT_FALSE(View.AnyEditorShown());
}

TEST_F(SettingsList, MovingTheSelectionCommitsToTheEditedRow) {
    Edit(rowNumber);
    View.Text = u"45";
    View.MoveSelection(rowString);
    EXPECT_EQ(Value(rowNumber), Variant(45.0));
    EXPECT_EQ(Value(rowString), Variant(u"Иванов"));
    EXPECT_FALSE(View.AnyEditorShown());
    EXPECT_EQ(View.Status, u"Имя кассира");
    // The next editor belongs to the new row.
    Form.EditRequested();
    View.Text = u"Сидоров";
    Form.EditorEnter();
    EXPECT_EQ(Value(rowString), Variant(u"Сидоров"));
    EXPECT_EQ(Value(rowNumber), Variant(45.0));
}

TEST_F(SettingsList, StatusShowsTheDescriptionOfTheRowConcerned) {
    for (int row : {rowDate, rowBoolean, rowReadOnly}) {
        View.MoveSelection(row);
        EXPECT_EQ(View.Status, Device->GetSetting(row)->Description);
    }
    View.Presenter->ItemChanged(rowCount);  // no setting there: the text stays
    EXPECT_EQ(View.Status, u"Только чтение");
}

TEST_F(SettingsList, DefaultsButtonResetsEveryRow) {
    Device->GetSetting(rowNumber)->Value = Variant(1);
    Device->GetSetting(rowString)->Value = Variant(u"x");
    Device->GetSetting(rowBoolean)->Value = Variant(false);
    Device->GetSetting(rowDate)->Value = Variant(u"не дата");
    Device->GetSetting(rowReadOnly)->Value = Variant::null();
    Form.DefaultsButton();
    EXPECT_EQ(View.RedrawnAll, 2);
    for (int row = 0; row < rowCount; ++row) {
        SCOPED_TRACE(row);
        EXPECT_EQ(Value(row), Device->GetSetting(row)->Default);
        EXPECT_EQ(Form.CellText(row, TfrmSettingsList::colValue), Form.CellText(row, TfrmSettingsList::colDefault));
    }
}

TEST_F(SettingsList, DefaultMenuItemResetsOnlyTheSelectedRow) {
    Device->GetSetting(rowNumber)->Value = Variant(1);
    Device->GetSetting(rowBoolean)->Value = Variant(false);
    Form.DefaultMenuItem();  // nothing selected
    EXPECT_EQ(Value(rowBoolean), Variant(false));
    View.Selected = rowBoolean;
    Form.DefaultMenuItem();
    EXPECT_EQ(Value(rowBoolean), Variant(true));
    EXPECT_EQ(Value(rowNumber), Variant(1));
    EXPECT_EQ(View.Redrawn, std::vector<int>{rowBoolean});
}

}  // namespace
