#include "pageTags.h"

#include <zadururu/scene/scaFileData.h>

namespace {

// The tag bindings of a component instance, in declaration order.
constexpr int ScadaObjectLoadData_t::*componentBindings[] = {
    &ScadaObjectLoadData_t::tagID_image,      &ScadaObjectLoadData_t::tagID_label,
    &ScadaObjectLoadData_t::tagID_posx,       &ScadaObjectLoadData_t::tagID_posy,
    &ScadaObjectLoadData_t::tagID_width,      &ScadaObjectLoadData_t::tagID_height,
    &ScadaObjectLoadData_t::tagID_rotAng,     &ScadaObjectLoadData_t::tagID_txtColor,
    &ScadaObjectLoadData_t::tagID_maskColor,  &ScadaObjectLoadData_t::tagID_maskOpac,
    &ScadaObjectLoadData_t::tagID_cusProp1,   &ScadaObjectLoadData_t::tagID_cusProp2,
    &ScadaObjectLoadData_t::tagID_cusProp3,   &ScadaObjectLoadData_t::tagID_cusProp4,
    &ScadaObjectLoadData_t::tagID_cusProp5,   &ScadaObjectLoadData_t::tagID_cusProp6,
    &ScadaObjectLoadData_t::tagID_cusProp7,   &ScadaObjectLoadData_t::tagID_eventTarget,
};

} // namespace

QList<int> boundTagIds(const ScaFileData &page)
{
    QList<int> ids;
    const auto add = [&ids](int id) {
        if (id != -1)
            ids.append(id);
    };
    for (const ScadaObjectLoadData_t *object : page.scadaObjects)
        if (object)
            for (int ScadaObjectLoadData_t::*binding : componentBindings)
                add(object->*binding);
    for (const ScheduleItemLoadData_t *schedule : page.scheduleItems)
        if (schedule)
            for (int id : schedule->TagIDs)
                add(id);
    for (const RealTimeChartItemLoadData_t *chart : page.rtChartItems)
        if (chart)
            for (const ChartLineData &line : chart->TagIDs)
                add(line.Tag);
    for (const DbQueryTextItemLoadData_t *text : page.dbqTextItems)
        if (text)
            add(text->reportTag);
    return ids;
}
