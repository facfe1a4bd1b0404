#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

/**
 * One component of the component library: read from the component library
 * file or the user library file, or filled by the host for a component that
 * a user adds (ScadaEngine::addUserObject).
 *
 * Component data lives in child elements of the file's "object" element
 * named like the fields; only the name is an attribute. Image entries are
 * "images/" followed by a file name, relative to the directory of the file
 * the record came from.
 *
 * The reader sets every field. Fields it does not set for a record the host
 * creates start at zero, so that a record never carries indeterminate values.
 */
struct ScadaLibObject
{
    QString name;              ///< attribute "name" of the object element
    QString objectCategory;    ///< category the component is listed under
    int objectUID = 0;         ///< library component id, unique once handed out by the engine
    int rtuID = 0;             ///< remote unit the component is bound to
    int registerID = 0;        ///< register within that unit
    int objectType = 0;        ///< component type code, interpreted by the host
    QList<QString> images;     ///< "images/<file name>" per image, in index order
    int width = 0;
    int height = 0;
    float m_val = 0.0f;        ///< carried for the host; stored as an integer text
    float a_val = 0.0f;        ///< carried for the host; stored as an integer text
    int lofX = 0;
    int lofY = 0;
    /// Free for the host's plugins; this library never sets, reads or stores it.
    quint32 hostWord = 0;
    bool isUserObject = false; ///< true when read from a file other than a component library file
};
