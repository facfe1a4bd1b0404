#pragma once

/**
 * @file scaFileProcessor.h
 * @brief Reading and writing scene files (ScaFileProcessor).
 */

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
 * Reads and writes scene files, one XML file per page (root `ScadaFile`,
 * with an `ItemList` of `Item` elements and the `PageProperties`).
 *
 * All operations are static and keep no state: no instance is needed. What
 * a reader returns belongs to the caller (free a page with
 * destroyScaFileData()). Readers never show a dialog and never throw; an item
 * of a kind they do not know is skipped, a value that is absent takes its
 * default and one that is not a number reads as 0.
 *
 * Reading a text item without a stored size measures the text, which needs
 * the font system of a GUI application (QApplication); without one the
 * missing size is 0.
 *
 * @code
 * ScaFileData *page = ScaFileProcessor::loadFileData("pages/main.xml");
 * if (!page)
 *     return; // not readable, or not well-formed XML
 * page->pageProperties.pageName = QStringLiteral("Main");
 * if (!ScaFileProcessor::saveFileData(page, QStringLiteral("pages/main.xml")))
 *     qWarning("not saved; the old file is as it was");
 * destroyScaFileData(page);
 * @endcode
 */
class ZADURURU_EXPORT ScaFileProcessor : public QObject
{
    Q_OBJECT
public:
    /// Constructs the QObject; no operation needs an instance.
    explicit ScaFileProcessor(QObject *parent = nullptr);

    /**
     * Parses the bytes of a whole scene file. Returns a new page that the
     * caller owns, or null when @p data is not well-formed XML (an empty or
     * truncated file included), goes past a limit of xmlLimits.h or is too
     * large for the memory left.
     *
     * @p fileName is stored as the page's PagePropertiesData_t::fileName;
     * when it is a null string (the default) the file's own `fileName`
     * element is taken instead. An empty but not null string is stored as it
     * is.
     *
     * A path given as a QByteArray is taken for the file's bytes and gives
     * null: to load a file, pass its path as a QString or a string literal.
     */
    static ScaFileData *loadFileData(const QByteArray &data, QString fileName = QString());
    /**
     * Reads and parses the scene file at @p path. The page's file name is
     * the file name part of @p path (as the project tree keys pages), not the
     * file's own fileName element. Returns null when the file cannot be read
     * (it is missing, unreadable, not a regular file or larger than
     * maxFileSize: see readRegularFile()) or would give null as bytes.
     */
    static ScaFileData *loadFileData(const QString &path);
    /**
     * As loadFileData(const QString &), for @p path in the system's encoding:
     * `loadFileData("pages/main.xml")` loads that file.
     */
    static ScaFileData *loadFileData(const char *path);
    /**
     * Parses only the page properties of a scene file, for a page's name,
     * number, size or rights without building its items. Returns a new
     * record that the caller deletes, or null as loadFileData() does. The
     * `fileName` element is always taken; the scrolling texts are not read.
     */
    static PagePropertiesData_t *loadSceneData(const QByteArray &data);
    /**
     * Writes @p data (which must not be null) to @p path as a whole file:
     * the items grouped by kind (component instances, texts, schedules,
     * charts, query texts, tables), each kind in list order, then the page
     * properties. The `fileName` element holds @p path as given, not the
     * page's PagePropertiesData_t::fileName. @p data is not changed.
     *
     * The new content replaces the file only once all of it is written:
     * returns false, with the old file left as it was, when the file cannot
     * be written.
     */
    static bool saveFileData(ScaFileData *data, QString path);

    /**
     * @name Item readers
     * Each takes an `Item` element of a parsed document (not null) and
     * returns a new record of its kind with its common data; never null. The
     * caller owns the record. loadFileData() uses them for every item.
     */
    ///@{
    /// A component instance (`ItemType` "ScadaObject", or none).
    static ScadaObjectLoadData_t *scadaObjectFromXML(QDomElement *item);
    /// A text item (`ItemType` "TextItem"); measures a missing width or height (see the class).
    static TextItemLoadData_t *textItemFromXML(QDomElement *item);
    /// A database-query text (`ItemType` "DbqTextItem").
    static DbQueryTextItemLoadData_t *dbqTextItemFromXML(QDomElement *item);
    /// A schedule item (`ItemType` "ScheduleItem").
    static ScheduleItemLoadData_t *schItemFromXML(QDomElement *item);
    /// A real-time chart (`ItemType` "RTChartItem"), its lines in both forms: `TagData` first, then bare `Tag`.
    static RealTimeChartItemLoadData_t *rtchartItemFromXML(QDomElement *item);
    /// A table item (`ItemType` "TableItem").
    static TableItemLoadData_t *tableItemFromXML(QDomElement *item);
    ///@}
};
