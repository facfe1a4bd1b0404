#include "reportSite.h"

#include "html.h"
#include "project/projectCheck.h"
#include "project/projectFiles.h"
#include "project/projectImages.h"
#include "render/pageRenderer.h"
#include "pageTags.h"
#include "projectLibrary.h"

#include <zadururu/library/scadaLibObject.h>
#include <zadururu/scene/scaFileData.h>

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <QTextStream>
#include <QThread>
#include <QtConcurrent>
#include <QUrl>

#include <algorithm>

namespace {

// One finding of the project's check, as the report lists it.
struct Finding
{
    QString file;
    QString record;
    QString message;
};

// The check's findings, the one place the report reads them from.
QList<Finding> projectFindings(const ProjectFiles &files, const ProjectLint &lint, int *components)
{
    const CheckReport check = checkProject(files, lint);
    *components = check.components;
    QList<Finding> findings;
    for (const ::Finding &finding : check.findings) {
        const QString place = finding.line > 0 ? QStringLiteral("line %1: ").arg(finding.line) : QString();
        findings.append({finding.file(), finding.record.text(),
                         place + QLatin1String(findingCodeInfo(finding.code).id) + QStringLiteral(": ") + finding.message});
    }
    return findings;
}

QString resource(const QString &name)
{
    QFile file(QStringLiteral(":/report/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("the report's resource %s is missing", qPrintable(name));
    return QString::fromUtf8(file.readAll());
}

// One item of a page as the report shows it.
struct Item
{
    QString anchor;  ///< "component-3": the kind and its place among the page's items of that kind
    QString kind;
    QString record;  ///< `component "P-101" (Uid 1031)`, `chart 2`
    QString name;
    qint64 uid = -1;
    QString componentUid;
    QPolygonF outline; ///< empty for what has no place on the picture
    QList<QPair<QString, int>> bindings; ///< field, tag id
    QList<QPair<QString, QString>> details;
};

QString anchorOf(const QString &kind, int index)
{
    return QString(kind).replace(QLatin1Char(' '), QLatin1Char('-')) + QLatin1Char('-') + QString::number(index);
}

template<class Record, class Describe>
void addItems(QList<Item> *items, const QList<Record *> &records, const char *kind,
              const PagePropertiesData_t &properties, Describe describe)
{
    for (int i = 0; i < records.size(); ++i) {
        const Record *record = records.at(i);
        if (!record)
            continue;
        Item item;
        item.kind = QLatin1String(kind);
        item.anchor = anchorOf(item.kind, i + 1);
        item.record = QStringLiteral("%1 %2").arg(item.kind).arg(i + 1);
        if (record->common)
            item.outline = itemOutline(*record->common, properties);
        describe(*record, &item);
        items->append(item);
    }
}

void detail(Item *item, const QString &what, const QString &value)
{
    if (!value.isEmpty())
        item->details.append({what, value});
}

// Every item of @p page, with its bindings: components, texts, schedules,
// charts, query texts, tables, then the page's scrolling texts.
QList<Item> pageItems(const ScaFileData &page)
{
    const PagePropertiesData_t &properties = page.pageProperties;
    QList<Item> items;
    addItems(&items, page.scadaObjects, "component", properties, [](const ScadaObjectLoadData_t &o, Item *item) {
        item->name = o.common ? o.common->Name : QString();
        item->uid = o.Uid;
        item->record = QStringLiteral("component \"%1\" (Uid %2)").arg(item->name).arg(o.Uid);
        item->componentUid = o.componentUid;
        detail(item, QStringLiteral("label"), o.labelText);
        detail(item, QStringLiteral("macro"), o.MacroText);
        detail(item, QStringLiteral("tooltip"), o.Tooltip);
        if (o.weblinkActive)
            detail(item, QStringLiteral("web link"), o.weblink);
    });
    addItems(&items, page.textItems, "text", properties, [](const TextItemLoadData_t &t, Item *item) {
        detail(item, QStringLiteral("text"), t.ItemText);
    });
    addItems(&items, page.scheduleItems, "schedule", properties, [](const ScheduleItemLoadData_t &, Item *) {});
    addItems(&items, page.rtChartItems, "chart", properties, [](const RealTimeChartItemLoadData_t &c, Item *item) {
        detail(item, QStringLiteral("window"), QStringLiteral("%1 s").arg(c.ShowLastSeconds));
    });
    addItems(&items, page.dbqTextItems, "query text", properties, [](const DbQueryTextItemLoadData_t &d, Item *item) {
        detail(item, QStringLiteral("label"), d.labelText);
    });
    addItems(&items, page.tableItems, "table", properties, [](const TableItemLoadData_t &t, Item *item) {
        int cells = 0;
        for (const QList<QString> &row : t.rows)
            cells += row.size();
        detail(item, QStringLiteral("cells"), QStringLiteral("%1 rows, %2 cells").arg(t.rows.size()).arg(cells));
    });
    const QList<ScrollingText> &scrolling = properties.ScrollTags;
    for (int i = 0; i < scrolling.size(); ++i) {
        Item item;
        item.kind = QStringLiteral("scrolling text");
        item.anchor = anchorOf(item.kind, i + 1);
        item.record = QStringLiteral("scrolling text %1").arg(i + 1);
        detail(&item, QStringLiteral("text"), scrolling.at(i).ScrollText);
        items.append(item);
    }

    QHash<QString, int> byAnchor;
    for (int i = 0; i < items.size(); ++i)
        byAnchor.insert(items.at(i).anchor, i);
    for (const TagBinding &binding : tagBindings(page)) {
        const int at = byAnchor.value(anchorOf(binding.kind, binding.index), -1);
        if (at >= 0)
            items[at].bindings.append({binding.field, binding.tagId});
    }
    return items;
}

// A cell of a table row in data/: a JSON value.
QString cellText(const QString &text)
{
    return Html::jsonString(text);
}

// A list of links: [[href, text], ...]; hrefs are the report's own.
struct Links
{
    QString json;
    int count = 0;
    void add(const QString &href, const QString &text)
    {
        json += (count++ ? QLatin1String(",[") : QLatin1String("[")) + Html::jsonString(href) + QLatin1Char(',')
                + Html::jsonString(text) + QLatin1Char(']');
    }
    QString cell() const { return QLatin1Char('[') + json + QLatin1Char(']'); }
};

// Where a tag is used and by what.
struct TagUse
{
    QString href;
    QString text;
};

class Site
{
public:
    Site(const ProjectFiles &files, const ProjectLint &lint, const QDir &out, ReportSummary *summary)
        : m_files(files)
        , m_lint(lint)
        , m_out(out)
        , m_summary(summary)
        , m_images(files.dir)
        , m_layout(resource(QStringLiteral("layout.html")))
    {
    }

    bool write(QString *error);

private:
    bool writeFile(const QString &relative, const QByteArray &bytes);
    bool writeHtml(const QString &relative, const QString &title, const QString &section, const QString &content,
                   const QString &script = QString());
    bool writeTable(const QString &name, const QStringList &rows);

    void readLibrary();
    QString tagLabel(int id) const;
    QString tagLink(int id, const QString &root) const;
    void readImages();
    QByteArray drawPage(int index) const;
    bool writePage(int index, const QByteArray &svg);
    bool writeIndex();
    bool writeTags();
    bool writeChannels();
    bool writeAlarms();
    bool writeFindings();
    bool writeLibrary();
    QString tableHead(const QString &name, const QStringList &columns, int parts, const QString &caption,
                      const QString &filters = QString()) const;

    const ProjectFiles &m_files;
    const ProjectLint &m_lint;
    QDir m_out;
    ReportSummary *m_summary;
    ProjectImages m_images;
    QString m_layout;
    QString m_error;

    QList<Finding> m_findings;
    int m_componentCount = 0;
    QStringList m_pageNames;  ///< the report's file name of each page, without ".html"
    QStringList m_pageTitles;
    QHash<int, const pEtiketDef_t *> m_tags; ///< the first tag of each id
    QHash<int, QList<TagUse>> m_uses;        ///< page uses of each tag id
    QHash<int, QList<TagUse>> m_alarmUses;   ///< alarms that bind each tag id
    QList<int> m_usedOrder;                  ///< every bound id once, in the order first found
    QList<ScadaLibObject *> m_library;
    bool m_libraryRead = false;
    QHash<QString, int> m_libraryIndex;      ///< component text (id or name) -> index in m_library
    QHash<int, QMap<int, int>> m_placements; ///< library index -> page index -> instances
    QHash<QString, QImage> m_componentImages; ///< by the component text instances name
    QVector<QImage> m_backgrounds;            ///< of each page
    QStringList m_backgroundProblems;         ///< of each page: why its background is not drawn
};

bool Site::writeFile(const QString &relative, const QByteArray &bytes)
{
    if (!m_error.isEmpty())
        return false;
    QFile file(m_out.filePath(relative));
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        m_error = QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
        return false;
    }
    ++m_summary->files;
    if (relative.endsWith(QLatin1String(".html")) && bytes.size() > m_summary->largestHtml) {
        m_summary->largestHtml = bytes.size();
        m_summary->largestHtmlName = relative;
    }
    return true;
}

bool Site::writeHtml(const QString &relative, const QString &title, const QString &section, const QString &content,
                     const QString &script)
{
    const QString root = relative.contains(QLatin1Char('/')) ? QStringLiteral("../") : QString();
    QString nav;
    const QList<QPair<QString, QString>> sections{{QStringLiteral("index.html"), QStringLiteral("Overview")},
                                                  {QStringLiteral("tags.html"), QStringLiteral("Tags")},
                                                  {QStringLiteral("channels.html"), QStringLiteral("Channels")},
                                                  {QStringLiteral("alarms.html"), QStringLiteral("Alarms")},
                                                  {QStringLiteral("library.html"), QStringLiteral("Library")},
                                                  {QStringLiteral("findings.html"), QStringLiteral("Findings")}};
    for (const auto &s : sections)
        nav += QStringLiteral("<a href=\"%1%2\"%3>%4</a>")
                   .arg(root, s.first, s.first == section ? QStringLiteral(" aria-current=\"page\"") : QString(), s.second);
    const QString page = Html::fill(m_layout, {{QStringLiteral("title"), title},
                                               {QStringLiteral("project"), QFileInfo(m_files.dir.absolutePath()).fileName()},
                                               {QStringLiteral("root"), root},
                                               {QStringLiteral("nav"), nav},
                                               {QStringLiteral("content"), content},
                                               {QStringLiteral("script"), script}});
    return writeFile(relative, page.toUtf8());
}

// The rows of table @p name, as data/<name>-<n>.js files of rowsPerPart rows
// each, which call ZR.part() when the browser loads them.
bool Site::writeTable(const QString &name, const QStringList &rows)
{
    const int parts = std::max(1, int((rows.size() + rowsPerPart - 1) / rowsPerPart));
    for (int part = 0; part < parts; ++part) {
        QString js = QStringLiteral("ZR.part(%1,%2,[\n").arg(Html::jsonString(name)).arg(part);
        const int end = std::min(int(rows.size()), (part + 1) * rowsPerPart);
        for (int i = part * rowsPerPart; i < end; ++i)
            js += rows.at(i) + (i + 1 < end ? QLatin1String(",\n") : QLatin1String("\n"));
        js += QLatin1String("]);\n");
        if (!writeFile(QStringLiteral("data/%1-%2.js").arg(name).arg(part), js.toUtf8()))
            return false;
    }
    return true;
}

QString Site::tableHead(const QString &name, const QStringList &columns, int parts, const QString &caption,
                        const QString &filters) const
{
    // Each column: "key:type:Title"; the script renders the rows from data/.
    QString head;
    for (const QString &column : columns) {
        const QStringList p = column.split(QLatin1Char(':'));
        head += QStringLiteral("<th data-key=\"%1\" data-type=\"%2\"><button type=\"button\">%3</button></th>")
                    .arg(p.at(0), p.at(1), Html::text(p.at(2)));
    }
    return QStringLiteral("<form class=\"filter\" role=\"search\" data-for=\"%1\"><label>Filter <input type=\"search\" "
                          "name=\"q\" autocomplete=\"off\" placeholder=\"any text of a row\"></label>%2"
                          "<output class=\"count\"></output></form>\n"
                          "<table class=\"data\" id=\"%1\" data-table=\"%1\" data-anchor=\"%6-\" data-parts=\"%3\"><caption>%4</caption>"
                          "<thead><tr>%5</tr></thead><tbody></tbody></table>\n"
                          "<p class=\"more\"><button type=\"button\" data-more=\"%1\" hidden>Show more</button></p>\n"
                          "<noscript><p>The rows of this table are shown by the page's script.</p></noscript>\n")
        .arg(name, filters)
        .arg(parts)
        .arg(Html::text(caption), head, name.chopped(1));
}

void Site::readLibrary()
{
    QString errors;
    QTextStream err(&errors);
    if (QFile::exists(m_files.dir.filePath(QStringLiteral("library/objlib.xml"))))
        m_library = readProjectLibrary(m_files.dir, err, &m_libraryRead);
    for (int i = 0; i < m_library.size(); ++i) {
        const ScadaLibObject *component = m_library.at(i);
        const QString id = QString::number(component->objectUID);
        if (!m_libraryIndex.contains(id))
            m_libraryIndex.insert(id, i);
        if (!component->name.isEmpty() && !m_libraryIndex.contains(component->name))
            m_libraryIndex.insert(component->name, i);
    }
}

// Every image the pictures show, read before they are drawn side by side.
void Site::readImages()
{
    const QHash<QString, QString> imageNames = componentImageNames(m_library);
    const QDir libraryDir(m_files.dir.filePath(QStringLiteral("library")));
    for (const ProjectPage &page : m_files.pages) {
        for (const ScadaObjectLoadData_t *object : page.data->scadaObjects) {
            if (!object || m_componentImages.contains(object->componentUid))
                continue;
            const QString file = imageNames.value(object->componentUid);
            m_componentImages.insert(object->componentUid, file.isEmpty() ? QImage() : m_images.image(file, libraryDir));
        }
        QString problem;
        const QString &name = page.data->pageProperties.pageBgImage;
        m_backgrounds << m_images.background(name, m_files.dir, QDir(QFileInfo(m_files.dir.filePath(page.file)).path()), &problem);
        m_backgroundProblems << problem;
    }
}

QString Site::tagLabel(int id) const
{
    const pEtiketDef_t *tag = m_tags.value(id);
    return tag ? QStringLiteral("%1 (%2)").arg(tag->Name).arg(id) : QStringLiteral("%1 (not defined)").arg(id);
}

QString Site::tagLink(int id, const QString &root) const
{
    return QStringLiteral("<a href=\"%1tags.html#tag-%2\">%3</a>").arg(root).arg(id).arg(Html::text(tagLabel(id)));
}

QByteArray Site::drawPage(int index) const
{
    const ScaFileData &page = *m_files.pages.at(index).data;
    const auto componentImage = [this](const QString &uid) { return m_componentImages.value(uid); };
    const auto tagName = [this](int id) {
        const pEtiketDef_t *tag = m_tags.value(id);
        return tag ? tag->Name : QString();
    };
    QBuffer svg;
    svg.open(QIODevice::WriteOnly);
    if (!writePageSvg(page, &svg, componentImage, tagName, m_backgrounds.at(index)))
        return QByteArray();
    return svg.data();
}

bool Site::writePage(int index, const QByteArray &svg)
{
    const ProjectPage &projectPage = m_files.pages.at(index);
    const ScaFileData &page = *projectPage.data;
    const PagePropertiesData_t &properties = page.pageProperties;
    const QString name = m_pageNames.at(index);
    const QString &backgroundProblem = m_backgroundProblems.at(index);
    const auto tagName = [this](int id) {
        const pEtiketDef_t *tag = m_tags.value(id);
        return tag ? tag->Name : QString();
    };
    if (svg.isEmpty()) {
        m_error = QStringLiteral("cannot draw %1").arg(projectPage.file);
        return false;
    }
    if (!writeFile(QStringLiteral("pages/%1.svg").arg(name), svg))
        return false;

    const QList<Item> items = pageItems(page);
    const QSize size = renderedPageSize(properties);
    const QSize own = pageSize(properties);
    QString shapes, rows, data;
    for (int i = 0; i < items.size(); ++i) {
        const Item &item = items.at(i);
        QString bindings, bindingData;
        for (const auto &binding : item.bindings) {
            bindings += QStringLiteral("<li>%1: %2</li>").arg(Html::text(binding.first), tagLink(binding.second, QStringLiteral("../")));
            bindingData += (bindingData.isEmpty() ? QString() : QStringLiteral(",")) + QLatin1Char('[')
                           + Html::jsonString(binding.first) + QLatin1Char(',') + QString::number(binding.second)
                           + QLatin1Char(',') + Html::jsonString(tagName(binding.second)) + QLatin1Char(']');
        }
        QString details;
        if (!item.componentUid.isNull()) {
            const int library = m_libraryIndex.value(item.componentUid, -1);
            details += QStringLiteral("<dt>library component</dt><dd>%1</dd>")
                           .arg(library >= 0 ? QStringLiteral("<a href=\"../library.html#lib-%1\">%2</a>").arg(library + 1).arg(Html::text(item.componentUid))
                                             : Html::text(item.componentUid) + QStringLiteral(" (not in the library)"));
        }
        for (const auto &d : item.details)
            details += QStringLiteral("<dt>%1</dt><dd>%2</dd>").arg(Html::text(d.first), Html::text(d.second));
        rows += QStringLiteral("<tr id=\"%1\"><td><a href=\"#%1\">%2</a></td><td>%3</td><td>%4</td><td>%5</td>"
                               "<td>%6</td><td>%7</td><td>%8</td></tr>\n")
                    .arg(item.anchor, Html::text(item.record), Html::text(item.kind), item.outline.isEmpty() ? QStringLiteral("no") : QStringLiteral("yes"),
                         Html::text(item.name), item.uid >= 0 || item.kind == QLatin1String("component") ? QString::number(item.uid) : QString(),
                         bindings.isEmpty() ? QString() : QStringLiteral("<ul>") + bindings + QStringLiteral("</ul>"),
                         details.isEmpty() ? QString() : QStringLiteral("<dl>") + details + QStringLiteral("</dl>"));
        data += QStringLiteral("%1{\"anchor\":%2,\"record\":%3,\"kind\":%4,\"name\":%5,\"uid\":%6,\"bindings\":[%7]}\n")
                    .arg(i ? QStringLiteral(",") : QString(), Html::jsonString(item.anchor), Html::jsonString(item.record),
                         Html::jsonString(item.kind), Html::jsonString(item.name),
                         item.kind == QLatin1String("component") ? QString::number(item.uid) : QStringLiteral("null"), bindingData);
        if (item.outline.isEmpty())
            continue;
        QString points;
        for (const QPointF &p : item.outline)
            points += QStringLiteral("%1,%2 ").arg(p.x(), 0, 'f', 1).arg(p.y(), 0, 'f', 1);
        shapes += QStringLiteral("<a href=\"#%1\" data-item=\"%2\"><polygon points=\"%3\"><title>%4</title></polygon></a>\n")
                      .arg(item.anchor).arg(i).arg(points.trimmed(), Html::text(item.record));
    }

    const QString title = m_pageTitles.at(index);
    QString meta = QStringLiteral("%1 · pageID %2 · %3×%4").arg(Html::text(projectPage.file)).arg(properties.pageID).arg(own.width()).arg(own.height());
    if (isPageScaled(properties))
        meta += QStringLiteral(" · drawn scaled down to %1×%2").arg(size.width()).arg(size.height());
    if (!properties.pageBgImage.isEmpty())
        meta += QStringLiteral(" · background image %1%2").arg(Html::text(properties.pageBgImage),
                                                               backgroundProblem.isEmpty() ? QString() : QStringLiteral(" (not drawn: ") + Html::text(backgroundProblem) + QLatin1Char(')'));
    const QString content =
        QStringLiteral("<h1>%1</h1>\n<p class=\"meta\">%2</p>\n"
                       "<div class=\"picture\"><img src=\"%3.svg\" width=\"%4\" height=\"%5\" alt=\"The page %6 as drawn\">"
                       "<svg class=\"overlay\" viewBox=\"0 0 %4 %5\" preserveAspectRatio=\"none\" role=\"group\" "
                       "aria-label=\"The items of the page\">\n%7</svg></div>\n"
                       "<div class=\"tip\" id=\"tip\" role=\"tooltip\" hidden></div>\n"
                       "<h2>Items and their bindings</h2>\n"
                       "<table class=\"items\"><thead><tr><th>Item</th><th>Kind</th><th>On the picture</th><th>Name</th><th>Uid</th>"
                       "<th>Bound tags (name and id)</th><th>Details</th></tr></thead><tbody>\n%8</tbody></table>\n"
                       "<script type=\"application/json\" id=\"items\">[%9]</script>\n")
            .arg(Html::text(title), meta, name)
            .arg(size.width())
            .arg(size.height())
            .arg(Html::text(title), shapes, rows, data);
    return writeHtml(QStringLiteral("pages/%1.html").arg(name), title, QString(), content);
}

bool Site::writeIndex()
{
    const FileDataTree *definitions = m_files.definitions.get();
    const int channels = definitions ? definitions->channels.size() - 1 : 0;
    const int tags = definitions ? definitions->tags.size() : 0;
    const int alarms = definitions ? definitions->alarms.size() : 0;
    int unused = 0;
    if (definitions)
        for (const pEtiketDef_t *tag : definitions->tags)
            unused += !m_uses.contains(tag->Id) && !m_alarmUses.contains(tag->Id);
    int undefined = 0;
    for (int id : m_usedOrder)
        undefined += !m_tags.contains(id);

    QString content = QStringLiteral("<h1>Project %1</h1>\n<ul class=\"counts\">"
                                     "<li><a href=\"#pages\"><strong>%2</strong> pages</a></li>"
                                     "<li><a href=\"channels.html\"><strong>%3</strong> channels</a></li>"
                                     "<li><a href=\"tags.html\"><strong>%4</strong> tags</a></li>"
                                     "<li><a href=\"alarms.html\"><strong>%5</strong> alarms</a></li>"
                                     "<li><a href=\"library.html\"><strong>%6</strong> library components</a></li>"
                                     "<li><a href=\"tags.html#status=used%20nowhere\"><strong>%7</strong> tags used nowhere</a></li>"
                                     "<li><a href=\"tags.html#status=not%20defined\"><strong>%8</strong> ids used but not defined</a></li>"
                                     "<li><a href=\"findings.html\"><strong>%9</strong> findings</a></li></ul>\n")
                          .arg(Html::text(QFileInfo(m_files.dir.absolutePath()).fileName()))
                          .arg(m_files.pages.size())
                          .arg(channels)
                          .arg(tags)
                          .arg(alarms)
                          .arg(m_componentCount)
                          .arg(unused)
                          .arg(undefined)
                          .arg(m_findings.size());

    content += QStringLiteral("<h2 id=\"pages\">Pages</h2>\n<ul class=\"pages\">\n");
    for (int i = 0; i < m_files.pages.size(); ++i)
        content += QStringLiteral("<li><a href=\"pages/%1.html\">%2</a> <span class=\"file\">%3</span></li>\n")
                       .arg(m_pageNames.at(i), Html::text(m_pageTitles.at(i)), Html::text(m_files.pages.at(i).file));
    content += QStringLiteral("</ul>\n");

    // Findings by file: pages, the definitions, the library, then what concerns the project as a whole.
    content += QStringLiteral("<h2 id=\"findings\">Findings of the check</h2>\n");
    if (m_findings.isEmpty())
        content += QStringLiteral("<p>No problems found.</p>\n");
    QMap<QString, QList<const Finding *>> byFile;
    for (const Finding &finding : m_findings)
        byFile[finding.file].append(&finding);
    QStringList order = byFile.keys();
    const auto rank = [](const QString &file) {
        return file.startsWith(QLatin1String("pages")) ? 0
            : file == QLatin1String("project")          ? 3
            : file.startsWith(QLatin1String("library")) ? 2
                                                        : 1;
    };
    std::stable_sort(order.begin(), order.end(), [&rank](const QString &a, const QString &b) { return rank(a) < rank(b); });
    const int shown = 20; // a file with more links to the table of them all
    for (const QString &file : qAsConst(order)) {
        const QList<const Finding *> &list = byFile.value(file);
        content += QStringLiteral("<section class=\"findings\"><h3>%1 <span class=\"n\">%2</span></h3><ul>\n")
                       .arg(Html::text(file))
                       .arg(list.size());
        for (int i = 0; i < std::min(shown, int(list.size())); ++i)
            content += QStringLiteral("<li>%1%2</li>\n")
                           .arg(list.at(i)->record.isEmpty() ? QString() : QStringLiteral("<span class=\"record\">%1</span>: ").arg(Html::text(list.at(i)->record)),
                                Html::text(list.at(i)->message));
        content += QStringLiteral("</ul>");
        if (list.size() > shown)
            content += QStringLiteral("<p><a href=\"findings.html#file=%1\">All %2 findings of %3</a></p>")
                           .arg(QString::fromUtf8(QUrl::toPercentEncoding(file)).toHtmlEscaped())
                           .arg(list.size())
                           .arg(Html::text(file));
        content += QStringLiteral("</section>\n");
    }
    return writeHtml(QStringLiteral("index.html"), QStringLiteral("Overview"), QStringLiteral("index.html"), content);
}

bool Site::writeTags()
{
    QStringList rows;
    const auto row = [this, &rows](int id, const pEtiketDef_t *tag) {
        Links uses, alarms;
        for (const TagUse &use : m_uses.value(id))
            uses.add(use.href, use.text);
        for (const TagUse &use : m_alarmUses.value(id))
            alarms.add(use.href, use.text);
        const QString status = !tag ? QStringLiteral("not defined")
            : uses.count + alarms.count == 0 ? QStringLiteral("used nowhere")
                                             : QStringLiteral("used");
        QString channel;
        if (tag && !(tag->KanalName.isEmpty() && tag->Kanal_Id == -1))
            channel = QStringLiteral("%1 (%2)").arg(tag->KanalName).arg(tag->Kanal_Id);
        rows << QLatin1Char('[') + QString::number(id) + QLatin1Char(',') + cellText(tag ? tag->Name : QString())
                    + QLatin1Char(',') + cellText(channel) + QLatin1Char(',')
                    + cellText(tag ? tag->DeviceAddress + QLatin1Char('/') + tag->VariableAddress : QString())
                    + QLatin1Char(',') + cellText(tag ? tag->UnitName : QString()) + QLatin1Char(',')
                    + cellText(tag ? tag->Description : QString()) + QLatin1Char(',')
                    + cellText(tag ? tag->Macro : QString()) + QLatin1Char(',') + uses.cell() + QLatin1Char(',')
                    + alarms.cell() + QLatin1Char(',') + cellText(status) + QLatin1Char(']');
    };
    if (m_files.definitions)
        for (const pEtiketDef_t *tag : m_files.definitions->tags)
            row(tag->Id, tag);
    for (int id : qAsConst(m_usedOrder))
        if (!m_tags.contains(id))
            row(id, nullptr);
    const int parts = std::max(1, int((rows.size() + rowsPerPart - 1) / rowsPerPart));
    const QString filters = QStringLiteral("<label>Show <select name=\"status\" data-column=\"status\">"
                                           "<option value=\"\">every tag</option><option>used</option>"
                                           "<option>used nowhere</option><option>not defined</option></select></label>");
    const QString content =
        QStringLiteral("<h1>Tags</h1>\n<p>Every tag of the definitions, with the pages and items that bind it and the "
                       "alarms that watch it, and every id bound but not defined.</p>\n")
        + tableHead(QStringLiteral("tags"),
                    {QStringLiteral("id:num:Id"), QStringLiteral("name:text:Name"), QStringLiteral("channel:text:Channel"),
                     QStringLiteral("address:text:Address"), QStringLiteral("unit:text:Unit"),
                     QStringLiteral("description:text:Description"), QStringLiteral("macro:text:Macro"),
                     QStringLiteral("uses:links:Used on pages"), QStringLiteral("alarms:links:Watched by alarms"),
                     QStringLiteral("status:text:Status")},
                    parts, QStringLiteral("Tags"), filters);
    return writeTable(QStringLiteral("tags"), rows)
        && writeHtml(QStringLiteral("tags.html"), QStringLiteral("Tags"), QStringLiteral("tags.html"), content);
}

bool Site::writeChannels()
{
    QStringList rows;
    QHash<int, int> tagsOn;
    if (m_files.definitions) {
        for (const pEtiketDef_t *tag : m_files.definitions->tags)
            ++tagsOn[tag->Kanal_Id];
        const QList<pKanalDef_t *> &channels = m_files.definitions->channels;
        for (int i = 1; i < channels.size(); ++i) { // the first is the loader's own "None"
            const pKanalDef_t *c = channels.at(i);
            Links tags;
            tags.add(QStringLiteral("tags.html#channel=") + QString::fromUtf8(QUrl::toPercentEncoding(QStringLiteral("%1 (%2)").arg(c->Name).arg(c->Id))),
                     QStringLiteral("%1 tags").arg(tagsOn.value(c->Id)));
            rows << QLatin1Char('[') + QString::number(c->Id) + QLatin1Char(',') + cellText(c->Name) + QLatin1Char(',')
                        + cellText(c->ServerIP) + QLatin1Char(',') + cellText(c->Station) + QLatin1Char(',')
                        + cellText(c->Enabled ? QStringLiteral("yes") : QStringLiteral("no")) + QLatin1Char(',')
                        + cellText(c->Description) + QLatin1Char(',') + tags.cell() + QLatin1Char(']');
        }
    }
    const QString content = QStringLiteral("<h1>Channels</h1>\n")
        + tableHead(QStringLiteral("channels"),
                    {QStringLiteral("id:num:Id"), QStringLiteral("name:text:Name"), QStringLiteral("server:text:Server"),
                     QStringLiteral("station:text:Station"), QStringLiteral("enabled:text:Enabled"),
                     QStringLiteral("description:text:Description"), QStringLiteral("tags:links:Tags")},
                    1 + (rows.size() - 1) / rowsPerPart, QStringLiteral("Channels"));
    return writeTable(QStringLiteral("channels"), rows)
        && writeHtml(QStringLiteral("channels.html"), QStringLiteral("Channels"), QStringLiteral("channels.html"), content);
}

bool Site::writeAlarms()
{
    QStringList rows;
    if (m_files.definitions)
        for (const pAlarmItem_t *a : m_files.definitions->alarms) {
            Links tags;
            const QList<QPair<QString, int>> bound{{QStringLiteral("tagID"), a->tagID},
                                                   {QStringLiteral("limit_tag_id"), a->limit_tag_id},
                                                   {QStringLiteral("limit_tag2_id"), a->limit_tag2_id}};
            for (const auto &b : bound)
                if (b.second != -1)
                    tags.add(QStringLiteral("tags.html#tag-%1").arg(b.second), QStringLiteral("%1: %2").arg(b.first, tagLabel(b.second)));
            rows << QLatin1Char('[') + QString::number(a->Id) + QLatin1Char(',') + cellText(a->alarm_name)
                        + QLatin1Char(',') + cellText(a->alarm_class) + QLatin1Char(',') + cellText(a->alarm_desc)
                        + QLatin1Char(',') + tags.cell() + QLatin1Char(',') + QString::number(a->limitVal) + QLatin1Char(',')
                        + cellText(a->enabled ? QStringLiteral("yes") : QStringLiteral("no")) + QLatin1Char(']');
        }
    const QString content = QStringLiteral("<h1>Alarms</h1>\n")
        + tableHead(QStringLiteral("alarms"),
                    {QStringLiteral("id:num:Id"), QStringLiteral("name:text:Name"), QStringLiteral("class:text:Class"),
                     QStringLiteral("description:text:Description"), QStringLiteral("tags:links:Watches"),
                     QStringLiteral("limit:num:Limit"), QStringLiteral("enabled:text:Enabled")},
                    1 + (rows.size() - 1) / rowsPerPart, QStringLiteral("Alarms"));
    return writeTable(QStringLiteral("alarms"), rows)
        && writeHtml(QStringLiteral("alarms.html"), QStringLiteral("Alarms"), QStringLiteral("alarms.html"), content);
}

bool Site::writeFindings()
{
    QStringList rows;
    for (const Finding &f : qAsConst(m_findings))
        rows << QLatin1Char('[') + cellText(f.file) + QLatin1Char(',') + cellText(f.record) + QLatin1Char(',')
                    + cellText(f.message) + QLatin1Char(']');
    const QString content = QStringLiteral("<h1>Findings of the check</h1>\n")
        + tableHead(QStringLiteral("findings"),
                    {QStringLiteral("file:text:File"), QStringLiteral("record:text:Record"), QStringLiteral("message:text:Finding")},
                    1 + (rows.size() - 1) / rowsPerPart, QStringLiteral("Findings"));
    return writeTable(QStringLiteral("findings"), rows)
        && writeHtml(QStringLiteral("findings.html"), QStringLiteral("Findings"), QStringLiteral("findings.html"), content);
}

bool Site::writeLibrary()
{
    QString content = QStringLiteral("<h1>Library</h1>\n");
    if (!QFile::exists(m_files.dir.filePath(QStringLiteral("library/objlib.xml"))))
        content += QStringLiteral("<p>The project has no component library (library/objlib.xml).</p>\n");
    else if (!m_libraryRead)
        content += QStringLiteral("<p>The component library (library/objlib.xml) cannot be read.</p>\n");
    const QDir libraryDir(m_files.dir.filePath(QStringLiteral("library")));
    for (int i = 0; i < m_library.size(); ++i) {
        const ScadaLibObject *c = m_library.at(i);
        QString images;
        for (int k = 0; k < c->images.size(); ++k) {
            QString problem;
            const QImage image = m_images.image(c->images.at(k), libraryDir, &problem);
            if (image.isNull()) {
                images += QStringLiteral("<figure class=\"missing\"><figcaption>%1: %2</figcaption></figure>")
                              .arg(Html::text(c->images.at(k)), Html::text(problem));
                continue;
            }
            // Written again from the pixels: whatever the file held, the report holds an image.
            QBuffer png;
            png.open(QIODevice::WriteOnly);
            image.save(&png, "PNG");
            const QString file = QStringLiteral("library/images/%1-%2.png").arg(i + 1).arg(k + 1);
            if (!writeFile(file, png.data()))
                return false;
            images += QStringLiteral("<figure><img src=\"%1\" alt=\"%2\"><figcaption>%2</figcaption></figure>")
                          .arg(file, Html::text(c->images.at(k)));
        }
        QString pages;
        const QMap<int, int> placed = m_placements.value(i);
        for (auto it = placed.constBegin(); it != placed.constEnd(); ++it)
            pages += QStringLiteral("<li><a href=\"pages/%1.html\">%2</a> (%3)</li>")
                         .arg(m_pageNames.at(it.key()), Html::text(m_pageTitles.at(it.key())))
                         .arg(it.value());
        content += QStringLiteral("<section class=\"component\" id=\"lib-%1\"><h2>%2 <span class=\"n\">objectUID %3</span></h2>"
                                  "<p class=\"meta\">%4 · %5×%6</p><div class=\"images\">%7</div>"
                                  "<p>%8</p>%9</section>\n")
                       .arg(i + 1)
                       .arg(Html::text(c->name))
                       .arg(c->objectUID)
                       .arg(Html::text(c->objectCategory))
                       .arg(c->width)
                       .arg(c->height)
                       .arg(images, pages.isEmpty() ? QStringLiteral("Placed on no page.") : QStringLiteral("Placed on:"),
                            pages.isEmpty() ? QString() : QStringLiteral("<ul>") + pages + QStringLiteral("</ul>"));
    }
    return writeHtml(QStringLiteral("library.html"), QStringLiteral("Library"), QStringLiteral("library.html"), content);
}

bool Site::write(QString *error)
{
    for (const QString &folder : {QStringLiteral("pages"), QStringLiteral("data"), QStringLiteral("assets"),
                                  QStringLiteral("library/images")})
        if (!m_out.mkpath(folder)) {
            *error = QStringLiteral("cannot create %1").arg(m_out.filePath(folder));
            return false;
        }
    writeFile(QStringLiteral("assets/report.css"), resource(QStringLiteral("report.css")).toUtf8());
    writeFile(QStringLiteral("assets/report.js"), resource(QStringLiteral("report.js")).toUtf8());

    m_findings = projectFindings(m_files, m_lint, &m_componentCount);
    readLibrary();
    if (m_files.definitions)
        for (const pEtiketDef_t *tag : m_files.definitions->tags)
            if (!m_tags.contains(tag->Id))
                m_tags.insert(tag->Id, tag);

    // Each page's report file: its file name made safe, once.
    QSet<QString> taken;
    for (const ProjectPage &page : m_files.pages) {
        QString name = Html::fileName(QFileInfo(page.file).completeBaseName());
        for (int n = 2; taken.contains(name.toLower()); ++n)
            name = Html::fileName(QFileInfo(page.file).completeBaseName()) + QLatin1Char('-') + QString::number(n);
        taken.insert(name.toLower());
        m_pageNames << name;
        const QString pageName = page.data->pageProperties.pageName.trimmed();
        m_pageTitles << (pageName.isEmpty() ? QFileInfo(page.file).completeBaseName() : pageName);
    }

    // Where each tag is used, and which pages place each library component.
    const auto used = [this](int id) {
        if (!m_uses.contains(id) && !m_alarmUses.contains(id))
            m_usedOrder << id;
    };
    for (int p = 0; p < m_files.pages.size(); ++p) {
        const ScaFileData &page = *m_files.pages.at(p).data;
        for (const TagBinding &binding : tagBindings(page)) {
            used(binding.tagId);
            m_uses[binding.tagId].append({QStringLiteral("pages/%1.html#%2").arg(m_pageNames.at(p), anchorOf(binding.kind, binding.index)),
                                          QStringLiteral("%1: %2 · %3").arg(m_pageTitles.at(p), binding.record, binding.field)});
        }
        for (const ScadaObjectLoadData_t *object : page.scadaObjects) {
            // An instance names its component by id or by name.
            const int library = object ? m_libraryIndex.value(object->componentUid, -1) : -1;
            if (library >= 0)
                ++m_placements[library][p];
        }
    }
    if (m_files.definitions)
        for (const TagBinding &binding : tagBindings(*m_files.definitions)) {
            used(binding.tagId);
            m_alarmUses[binding.tagId].append({QStringLiteral("alarms.html#alarm-%1").arg(binding.uid),
                                               QStringLiteral("%1 · %2").arg(binding.record, binding.field)});
        }

    // The pictures take most of the time: drawn side by side, a few pages at
    // a time, each written as soon as its part is drawn.
    readImages();
    const int batch = 4 * std::max(1, QThread::idealThreadCount());
    for (int first = 0; first < m_files.pages.size() && m_error.isEmpty(); first += batch) {
        QVector<int> indexes;
        for (int i = first; i < std::min(first + batch, int(m_files.pages.size())); ++i)
            indexes << i;
        const QList<QByteArray> pictures = QtConcurrent::blockingMapped<QList<QByteArray>>(
            indexes, std::function<QByteArray(int)>([this](int i) { return drawPage(i); }));
        for (int k = 0; k < indexes.size() && m_error.isEmpty(); ++k)
            writePage(indexes.at(k), pictures.at(k));
    }
    if (m_error.isEmpty())
        writeIndex() && writeTags() && writeChannels() && writeAlarms() && writeFindings() && writeLibrary();
    // One note per problem, however many pages share it.
    QMap<QString, QStringList> pagesOf;
    for (int i = 0; i < m_backgroundProblems.size(); ++i)
        if (!m_backgroundProblems.at(i).isEmpty())
            pagesOf[QStringLiteral("the background image \"%1\" is not drawn: %2")
                        .arg(m_files.pages.at(i).data->pageProperties.pageBgImage, m_backgroundProblems.at(i))]
                << m_files.pages.at(i).file;
    for (auto it = pagesOf.constBegin(); it != pagesOf.constEnd(); ++it)
        m_summary->notes << (it.value().size() == 1 ? QStringLiteral("%1: %2").arg(it.value().first(), it.key())
                                                    : QStringLiteral("%1 (%2 pages, the first %3)").arg(it.key()).arg(it.value().size()).arg(it.value().first()));
    if (!m_error.isEmpty()) {
        *error = m_error;
        return false;
    }
    return true;
}

} // namespace

bool writeReportSite(const ProjectFiles &files, const ProjectLint &lint, const QDir &out, ReportSummary *summary,
                     QString *error)
{
    Site site(files, lint, out, summary);
    return site.write(error);
}
