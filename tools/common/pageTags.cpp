#include "pageTags.h"

#include "quotedText.h"

#include <zadururu/definitions/fileDataTree.h>
#include <zadururu/scene/scaFileData.h>

#include <type_traits>

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

// The record a binding belongs to; the binding's tag id and field come with it.
struct Place
{
    QString record;
    QString kind;
    QString name;
    int uid = -1;
    int index = 0;
};

// Items other than component instances carry no name: they are told apart
// by kind, position in their list and place on the page.
Place itemPlace(const char *kind, int index, const ItemRecord &item)
{
    Place place{QString(), QLatin1String(kind), QStringLiteral("%1 %2").arg(QLatin1String(kind)).arg(index + 1), -1,
                index + 1};
    place.record = place.name;
    if (item.common)
        place.record += QStringLiteral(" at (%1, %2)").arg(item.common->X).arg(item.common->Y);
    return place;
}

// The one walk over the bindings of a page, for reading (a const page) and
// for rebinding. @p visit gets the bound id by reference, its place and field.
template <class Page, class Visit>
void walkPage(Page &page, Visit visit)
{
    for (int i = 0; i < page.scadaObjects.size(); ++i) {
        auto *object = page.scadaObjects.at(i);
        if (!object)
            continue;
        const QString name = object->common ? object->common->Name : QString();
        const Place place{QStringLiteral("component %1 (Uid %2)").arg(quoted(name)).arg(object->Uid),
                          QStringLiteral("component"), name, object->Uid, i + 1};
        for (const ComponentBinding &binding : componentBindings)
            visit(object->*binding.member, place, QLatin1String(binding.name));
    }
    for (int i = 0; i < page.scheduleItems.size(); ++i)
        if (auto *schedule = page.scheduleItems.at(i)) {
            const Place place = itemPlace("schedule", i, *schedule);
            for (int t = 0; t < schedule->TagIDs.size(); ++t)
                visit(schedule->TagIDs[t], place, QStringLiteral("tag %1").arg(t + 1));
        }
    for (int i = 0; i < page.rtChartItems.size(); ++i)
        if (auto *chart = page.rtChartItems.at(i)) {
            const Place place = itemPlace("chart", i, *chart);
            for (int l = 0; l < chart->TagIDs.size(); ++l)
                visit(chart->TagIDs[l].Tag, place, QStringLiteral("line %1").arg(l + 1));
        }
    for (int i = 0; i < page.dbqTextItems.size(); ++i)
        if (auto *text = page.dbqTextItems.at(i))
            visit(text->reportTag, itemPlace("query text", i, *text), QStringLiteral("reportTag"));
    auto &scrolling = page.pageProperties.ScrollTags;
    for (int i = 0; i < scrolling.size(); ++i) {
        const QString name = QStringLiteral("scrolling text %1").arg(i + 1);
        visit(scrolling[i].TagID, Place{name, QStringLiteral("scrolling text"), name, -1, i + 1}, QStringLiteral("TagID"));
    }
}

template <class Tree, class Visit>
void walkAlarms(Tree &tree, Visit visit)
{
    for (int i = 0; i < tree.alarms.size(); ++i) {
        auto *alarm = tree.alarms.at(i);
        const Place place{QStringLiteral("alarm %1 (Id %2)").arg(quoted(alarm->alarm_name)).arg(alarm->Id),
                          QStringLiteral("alarm"), alarm->alarm_name, alarm->Id, i + 1};
        visit(alarm->tagID, place, QStringLiteral("tagID"));
        visit(alarm->limit_tag_id, place, QStringLiteral("limit_tag_id"));
        visit(alarm->limit_tag2_id, place, QStringLiteral("limit_tag2_id"));
    }
}

template <class Source, class Walk>
QList<TagBinding> collect(const Source &source, Walk walk)
{
    QList<TagBinding> bindings;
    walk(source, [&bindings](int id, const Place &place, const QString &field) {
        if (id != -1)
            bindings.append({id, place.record, field, place.kind, place.name, place.uid, place.index});
    });
    return bindings;
}

template <class Source, class Walk>
int rebind(Source &source, Walk walk, int from, int to)
{
    int changed = 0;
    walk(source, [&](int &id, const Place &, const QString &) {
        if (id == from && from != -1) {
            id = to;
            ++changed;
        }
    });
    return changed;
}

} // namespace

QList<TagBinding> tagBindings(const ScaFileData &page)
{
    return collect(page, [](const ScaFileData &p, auto visit) { walkPage(p, visit); });
}

QList<TagBinding> tagBindings(const FileDataTree &definitions)
{
    return collect(definitions, [](const FileDataTree &t, auto visit) { walkAlarms(t, visit); });
}

QList<int> boundTagIds(const ScaFileData &page)
{
    QList<int> ids;
    for (const TagBinding &binding : tagBindings(page))
        ids.append(binding.tagId);
    return ids;
}

int rebindTag(ScaFileData &page, int from, int to)
{
    return rebind(page, [](ScaFileData &p, auto visit) { walkPage(p, visit); }, from, to);
}

int rebindTag(FileDataTree &definitions, int from, int to)
{
    return rebind(definitions, [](FileDataTree &t, auto visit) { walkAlarms(t, visit); }, from, to);
}
