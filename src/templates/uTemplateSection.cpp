#include "templates/uTemplateSection.h"

#include "automation/Text.h"
#include "templates/uNameCase.h"
#include "templates/uTemplateArrayReader.h"
#include "templates/uTemplateObj.h"

namespace fr::templates {

void TSectionItem::AssignWithSection(const TBaseItem& source, TSectionItem* newSectionItem) {
    const auto* src = dynamic_cast<const TSectionItem*>(&source);
    if (!src) TBaseItem::AssignWithSection(source, newSectionItem);
    // A section is its own section: the copied lines belong to the copy, whatever the caller passes.
    SectionItem = this;
    Name = src->Name;
    Fixed = src->Fixed;
    Predefined = src->Predefined;
    DataIndex = src->DataIndex;
    MaxRowLength = src->MaxRowLength;
    HasParameters = src->HasParameters;
    CompositeStrings.AssignWithSection(src->CompositeStrings, this);
}

void TSectionItem::ApplyData(const TParams& params) { CompositeStrings.ApplyData(params); }

void TSectionList::Prepare(const Variant& SASections, int32_t MaxRowLength) {
    const TArrayReader a(SASections, u"массив секций", u"секция", [] { return std::u16string(u"Ошибка шаблона"); },
                         TemplateObj->FormatSettings());
    for (int32_t r = a.FirstRow(); r <= a.LastRow(); ++r) {
        TSectionItem& s = Add();
        s.SectionItem = &s;
        s.MaxRowLength = MaxRowLength > 20 ? MaxRowLength : 20;
        s.Name = a.Text(0, r, u"Name");
        s.Fixed = a.Bool(1, r, u"Fixed");
        s.Predefined = a.Bool(2, r, u"Predefined");
        s.CompositeStrings.Prepare(&s, a.Cell(3, r, u"CompositeStrings"), a.ElementPlace(r) + u" «" + s.Name + u"», колонка 3 (CompositeStrings)");
        s.HasParameters = s.CompositeStrings.HasParameters();
    }
}

TSectionItem* TSectionList::FindSection(std::u16string_view name) const {
    for (int32_t i = 0; i < Count(); ++i)
        if (SameName(GetItem(i).Name, name)) return &GetItem(i);
    return nullptr;
}

void TSectionList::ApplyData(const Variant& SAData) {
    Text.clear();
    const TFormatSettings& fs = TemplateObj->FormatSettings();
    const TArrayReader a(SAData, u"массив данных", u"строка", [] { return std::u16string(u"Ошибка данных"); }, fs);
    TParams params;  // reused row after row, keeping its storage
    for (int32_t r = a.FirstRow(); r <= a.LastRow(); ++r) {
        const std::u16string name = a.Text(0, r, u"имя секции");
        TSectionItem* section = FindSection(name);
        if (!section) continue;
        params.DataRow = r;
        size_t count = 0;
        if (section->HasParameters) {
            const TArrayReader p(a.Cell(1, r, u"параметры секции"), u"массив параметров", u"параметр",
                                 [&] { return a.ElementPlace(r) + u" (секция «" + name + u"»), колонка 1"; }, fs);
            for (int32_t k = p.FirstRow(); k <= p.LastRow(); ++k, ++count) {
                if (count == params.Items.size()) params.Items.emplace_back();
                TParam& param = params.Items[count];
                param.Name = p.Text(0, k, u"имя");
                param.Value = &p.Cell(1, k, u"значение");
                param.Row = k;
            }
        }
        params.Items.resize(count);
        section->ApplyData(params);
        section->CompositeStrings.AppendText(Text);
    }
}

}  // namespace fr::templates
