#include "pageTags.h"

#include <zadururu/scene/scaFileData.h>

namespace {

struct ComponentBinding
{
    int ScadaObjectLoadData_t::*member;
    const char *name;
};

#define BINDING(m) {&ScadaObjectLoadData_t::m, #m}
// The tag bindings of a component instance, in declaration order.
const ComponentBinding componentBindings[] = {
    BINDING(tagID_image),     BINDING(tagID_label),     BINDING(tagID_posx),
    BINDING(tagID_posy),      BINDING(tagID_width),     BINDING(tagID_height),
    BINDING(tagID_rotAng),    BINDING(tagID_txtColor),  BINDING(tagID_maskColor),
    BINDING(tagID_maskOpac),  BINDING(tagID_cusProp1),  BINDING(tagID_cusProp2),
    BINDING(tagID_cusProp3),  BINDING(tagID_cusProp4),  BINDING(tagID_cusProp5),
    BINDING(tagID_cusProp6),  BINDING(tagID_cusProp7),  BINDING(tagID_eventTarget),
};
#undef BINDING

// Items other than component instances carry no name: they are told apart
// by kind, position in their list and place on the page.
QString itemName(const char *kind, int index, const ItemRecord &item)
{
    QString name = QStringLiteral("%1 %2").arg(QLatin1String(kind)).arg(index + 1);
    if (item.common)
        name += QStringLiteral(" at (%1, %2)").arg(item.common->X).arg(item.common->Y);
    return name;
}

} // namespace

QList<TagBinding> tagBindings(const ScaFileData &page)
{
    QList<TagBinding> bindings;
    const auto add = [&bindings](int id, const QString &record, const QString &field) {
        if (id != -1)
            bindings.append({id, record, field});
    };
    for (const ScadaObjectLoadData_t *object : page.scadaObjects) {
        if (!object)
            continue;
        const QString record = QStringLiteral("component \"%1\" (Uid %2)")
                                   .arg(object->common ? object->common->Name : QString())
                                   .arg(object->Uid);
        for (const ComponentBinding &binding : componentBindings)
            add(object->*binding.member, record, QLatin1String(binding.name));
    }
    for (int i = 0; i < page.scheduleItems.size(); ++i)
        if (const ScheduleItemLoadData_t *schedule = page.scheduleItems.at(i))
            for (int t = 0; t < schedule->TagIDs.size(); ++t)
                add(schedule->TagIDs.at(t), itemName("schedule", i, *schedule),
                    QStringLiteral("tag %1").arg(t + 1));
    for (int i = 0; i < page.rtChartItems.size(); ++i)
        if (const RealTimeChartItemLoadData_t *chart = page.rtChartItems.at(i))
            for (int l = 0; l < chart->TagIDs.size(); ++l)
                add(chart->TagIDs.at(l).Tag, itemName("chart", i, *chart), QStringLiteral("line %1").arg(l + 1));
    for (int i = 0; i < page.dbqTextItems.size(); ++i)
        if (const DbQueryTextItemLoadData_t *text = page.dbqTextItems.at(i))
            add(text->reportTag, itemName("query text", i, *text), QStringLiteral("reportTag"));
    return bindings;
}

QList<int> boundTagIds(const ScaFileData &page)
{
    QList<int> ids;
    for (const TagBinding &binding : tagBindings(page))
        ids.append(binding.tagId);
    return ids;
}
