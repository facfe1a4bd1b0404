#pragma once

/**
 * @file scadaEngine.h
 * @brief The process-wide component library (ScadaEngine).
 */

#include <zadururu/library/scadaLibObject.h>
#include <zadururu/zadururu_export.h>

#include <QList>
#include <QObject>
#include <QSet>
#include <QString>

/**
 * The process-wide component library: the components the editor offers for
 * placing on pages, from two files.
 *
 * Created on the first call of instance() and never destroyed. At start-up
 * it reads the component library file (`objlib.xml` in the `scdLib` folder
 * beside the application's folder, that is
 * `QCoreApplication::applicationDirPath()/../scdLib/objlib.xml`) and the user
 * library file (`~/Korvela/userlib.xml`), and makes sure the user image
 * folder (`~/Korvela/images/`) exists. A file that is missing or broken adds
 * nothing. The library directory of the program settings
 * (ProgramSettings::getLibDir()) plays no part.
 *
 * Records are held by pointer for the life of the process; the engine never
 * deletes them, and neither may a caller.
 *
 * @code
 * for (const ScadaLibObject *component : *ScadaEngine::instance()->getLibObjects())
 *     qDebug() << component->objectUID << component->name << component->images;
 * @endcode
 */
class ZADURURU_EXPORT ScadaEngine : public QObject
{
    Q_OBJECT

public:
    /// The engine, created (and the library files read) on the first call; never null.
    static ScadaEngine *instance();

    /**
     * Start-up: computes the paths, reads the component library file and
     * then the user library file, builds the combined list and creates the
     * user image directory when missing. Use instance() instead.
     */
    ScadaEngine();

    /// The application's library directory, with a trailing separator.
    QString getLibPath();
    /// The user library directory, with a trailing separator.
    QString getUserLibPath();
    /**
     * The combined list itself, not a copy: library components, then user
     * components. addUserObject() empties and refills it, so do not iterate
     * over it while adding. Do not delete its records.
     */
    QList<ScadaLibObject *> *getLibObjects();

    /// The records read from component library files.
    const QList<ScadaLibObject *> &getLibraryObjectList() const { return m_libObjects; }
    /// The records read from user library files, plus components added since.
    const QList<ScadaLibObject *> &getUserObjectList() const { return m_userObjects; }
    /// The user image directory, with a trailing separator.
    QString getUserImagePath() const { return m_userImagePath; }
    /// Every component id read or handed out, in that order.
    const QList<int> &getUsedIds() const { return m_uidList; }

    /**
     * Returns the smallest non-negative id not yet read or handed out and
     * records it as used.
     */
    int chooseaUID();

    /**
     * Writes @p list as the user library file: per record its name,
     * category, id and image file names. Returns false, and writes
     * "dosya acilamadi" to the debug output, when the file cannot be written;
     * an existing file then stays as it was.
     */
    bool saveUserLibraryFile(QList<ScadaLibObject *> list);

    /**
     * Adds @p object as a user component: gives it a free id (chooseaUID()),
     * copies its images (entries are source paths) into the user image
     * directory, replacing files of the same name there, and rewrites the
     * entries to "images/" and the file name, rewrites the user library file and
     * confirms with a modal message box (only in a QApplication). The engine
     * keeps the pointer; the caller must not delete the record.
     *
     * ScadaLibObject::isUserObject stays as the caller set it until the next
     * start reads the component back. The user library file stores only the
     * name, category, id and image names: the other fields of a user
     * component read as 0 after a restart. A file that cannot be written is
     * reported on the debug output only; the component stays in memory.
     * Null does nothing.
     */
    void addUserObject(ScadaLibObject *object);

    /**
     * Reads the library file at @p filePath (a file, despite the name) and
     * appends its records to the library object list when the path contains
     * "objlib.xml", to the user object list otherwise. Every id read is
     * recorded as used. Returns false when the file cannot be read ("dosya
     * acilamadi" on the debug output; see readRegularFile()), is not
     * well-formed XML, goes past a limit of xmlLimits.h or is too large for
     * the memory left.
     * The combined list is not touched.
     */
    bool readLibDir(QString filePath);

private:
    void recordUsedId(int id);

    QList<ScadaLibObject *> m_libObjects;
    QList<ScadaLibObject *> m_userObjects;
    QList<ScadaLibObject *> m_allObjects;
    QString m_libPath;
    QString m_userLibPath;
    QString m_userImagePath;
    QList<int> m_uidList;

    // The ids of m_uidList as a set, and a candidate below which every
    // non-negative id is used: together they keep chooseaUID() cheap with
    // many thousands of components. The used ids only grow, so the
    // candidate only moves up.
    QSet<int> m_usedIdSet;
    int m_freeIdCandidate = 0;

    static ScadaEngine *m_Instance;
};
