#pragma once

/**
 * @file scadaLibObject.h
 * @brief One component of the component library (ScadaLibObject).
 */

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
    QList<QString> images;     ///< one entry per image, in index order: "images/" followed by the file name
    int width = 0;             ///< width of the component, in page units (0 for a user component after a restart)
    int height = 0;            ///< height of the component, in page units (likewise)
    float m_val = 0.0f;        ///< carried for the host; stored as a whole number ("2.5" reads as 0)
    float a_val = 0.0f;        ///< carried for the host; stored like #m_val
    int lofX = 0;              ///< horizontal offset carried for the host
    int lofY = 0;              ///< vertical offset carried for the host
    /// Free for the host's plugins; this library never sets, reads or stores it.
    quint32 hostWord = 0;
    bool isUserObject = false; ///< true when read from a file other than a component library file
};
