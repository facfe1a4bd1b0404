#pragma once

#include <zadururu/zadururu_export.h>
#include <zadururu/scene/pagePropertiesData.h>
#include <zadururu/scene/scaFileData.h>

#include <QByteArray>
#include <QObject>
#include <QString>

QT_BEGIN_NAMESPACE
class QDomElement;
QT_END_NAMESPACE

/**
 * Reads and writes scene files, one XML file per page. All operations are
 * static and keep no state. Readers hand ownership of what they return to the
 * caller; they never show a dialog and never throw.
 */
class ZADURURU_EXPORT ScaFileProcessor : public QObject
{
    Q_OBJECT
public:
    explicit ScaFileProcessor(QObject *parent = nullptr);

    /**
     * Parses a whole scene file. Returns null when @p data is not well-formed
     * XML, goes past a limit of xmlLimits.h or is too large for the memory
     * left. @p fileName is stored as the page's file name unless it is a null
     * string, in which case the file's own fileName element is used.
     */
    static ScaFileData *loadFileData(const QByteArray &data, QString fileName);
    /// Parses only the page properties of a scene file; null as for loadFileData().
    static PagePropertiesData_t *loadSceneData(const QByteArray &data);
    /**
     * Writes @p data to @p path as a whole, items grouped by kind, then the
     * page properties with @p path as the file name. Returns false when the
     * file cannot be written; the old file is then left as it was.
     */
    static bool saveFileData(ScaFileData *data, QString path);

    // The readers of the item kinds, each taking its Item element and
    // returning a new record with its common data; never null.
    static ScadaObjectLoadData_t *scadaObjectFromXML(QDomElement *item);
    /// Measures the default width and height of a text without stored ones. That needs the
    /// font system of a GUI application; without one a missing width or height is 0.
    static TextItemLoadData_t *textItemFromXML(QDomElement *item);
    static DbQueryTextItemLoadData_t *dbqTextItemFromXML(QDomElement *item);
    static ScheduleItemLoadData_t *schItemFromXML(QDomElement *item);
    /// Reads both line-list forms: TagData elements first, then older bare Tag elements.
    static RealTimeChartItemLoadData_t *rtchartItemFromXML(QDomElement *item);
    static TableItemLoadData_t *tableItemFromXML(QDomElement *item);
};
