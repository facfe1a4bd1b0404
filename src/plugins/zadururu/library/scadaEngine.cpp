#include "scadaEngine.h"

#include "libraryLoad_p.h"

#include "common/regularFile.h"
#include "common/wholeFileWriter_p.h"
#include "common/xmlText_p.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QXmlStreamWriter>

#include <new>

ScadaEngine *ScadaEngine::m_Instance = nullptr;

namespace {

const char componentLibraryFileName[] = "objlib.xml";
const char userLibraryFileName[] = "userlib.xml";

} // namespace

ScadaEngine *ScadaEngine::instance()
{
    if (!m_Instance)
        m_Instance = new ScadaEngine;
    return m_Instance;
}

ScadaEngine::ScadaEngine()
    : QObject(nullptr)
{
    const QString sep = QDir::separator();

    QDir appParent(QCoreApplication::applicationDirPath());
    appParent.cdUp();
    m_libPath = QDir::toNativeSeparators(appParent.path()) + sep + QLatin1String("scdLib") + sep;
    m_userLibPath = QDir::homePath() + sep + QLatin1String("Korvela") + sep;

    // A missing file contributes nothing; start-up goes on either way.
    readLibDir(m_libPath + QLatin1String(componentLibraryFileName));
    readLibDir(m_userLibPath + QLatin1String(userLibraryFileName));

    m_allObjects << m_libObjects << m_userObjects;

    m_userImagePath = m_userLibPath + QLatin1String("images") + sep;
    if (!QDir(m_userImagePath).exists())
        QDir().mkpath(m_userImagePath); // a failure shows when images are copied
}

QString ScadaEngine::getLibPath()
{
    return m_libPath;
}

QString ScadaEngine::getUserLibPath()
{
    return m_userLibPath;
}

QList<ScadaLibObject *> *ScadaEngine::getLibObjects()
{
    return &m_allObjects;
}

void ScadaEngine::recordUsedId(int id)
{
    m_uidList.append(id);
    m_usedIdSet.insert(id);
}

int ScadaEngine::chooseaUID()
{
    // The smallest non-negative id that is not used: n used ids cannot
    // cover the n + 1 candidates 0..n, so one of those always qualifies.
    while (m_usedIdSet.contains(m_freeIdCandidate))
        ++m_freeIdCandidate;
    const int id = m_freeIdCandidate;
    recordUsedId(id);
    ++m_freeIdCandidate;
    return id;
}

bool ScadaEngine::readLibDir(QString filePath)
{
    const QByteArray bytes = ZadUruru::readRegularFile(filePath);
    if (bytes.isNull()) {
        qDebug() << "dosya acilamadi";
        return false;
    }

    QList<ScadaLibObject *> objects;
    // A file too large for the memory left is refused like a malformed one
    // (the reader appends nothing then).
    try {
        if (!ZadUruru::readLibrary(bytes, &objects))
            return false;
    } catch (const std::bad_alloc &) {
        return false;
    }

    const bool fromComponentLibrary = filePath.contains(QLatin1String(componentLibraryFileName));
    for (ScadaLibObject *object : qAsConst(objects)) {
        recordUsedId(object->objectUID);
        object->isUserObject = !fromComponentLibrary;
    }
    if (fromComponentLibrary)
        m_libObjects += objects;
    else
        m_userObjects += objects;
    return true;
}

bool ScadaEngine::saveUserLibraryFile(QList<ScadaLibObject *> list)
{
    const QString path = m_userLibPath + QLatin1String(userLibraryFileName);
    const bool written = ZadUruru::writeWholeFile(path, [&list](QIODevice *device) {
        QXmlStreamWriter writer(device);
        writer.setCodec("UTF-8");
        writer.setAutoFormatting(true); // four spaces a level
        writer.writeStartDocument();
        writer.writeStartElement(QStringLiteral("scadaObjectTypes"));
        for (const ScadaLibObject *object : qAsConst(list)) {
            if (!object)
                continue;
            writer.writeStartElement(QStringLiteral("object"));
            writer.writeAttribute(QStringLiteral("name"), ZadUruru::xmlWritable(object->name));
            writer.writeTextElement(QStringLiteral("objectCategory"), ZadUruru::xmlWritable(object->objectCategory));
            writer.writeTextElement(QStringLiteral("objectUID"), QString::number(object->objectUID));
            for (int i = 0; i < object->images.size(); ++i)
                writer.writeTextElement(QLatin1String("image") + QString::number(i + 1),
                                        ZadUruru::xmlWritable(QFileInfo(object->images.at(i)).fileName()));
            writer.writeEndElement();
        }
        writer.writeEndElement();
        writer.writeEndDocument();
        return !writer.hasError();
    });
    if (!written)
        qDebug() << "dosya acilamadi";
    return written;
}

void ScadaEngine::addUserObject(ScadaLibObject *object)
{
    if (!object)
        return;

    m_allObjects.clear();
    m_userObjects.append(object);
    object->objectUID = chooseaUID();

    for (QString &entry : object->images) {
        const QString fileName = QFileInfo(entry).fileName();
        const QString destination = m_userImagePath + fileName;
        const QFileInfo source(entry);
        const QFileInfo target(destination);
        // An image picked from the user image directory itself is its own
        // destination: removing the destination first would lose it, so it
        // is left where it is.
        const bool sameFile = source.exists() && target.exists()
                && source.canonicalFilePath() == target.canonicalFilePath();
        if (!sameFile) {
            if (target.exists() || target.isSymLink())
                QFile::remove(destination);
            if (source.exists())
                QFile::copy(entry, destination);
        }
        entry = QLatin1String(ZadUruru::libraryImagePrefix) + fileName;
    }

    saveUserLibraryFile(m_userObjects); // a failure leaves the component in memory

    m_allObjects << m_libObjects << m_userObjects;

    // A host without widgets cannot show the confirmation.
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    QMessageBox box;
    box.setText(tr("Object %1 is succesfully added under %2 category")
                    .arg(object->name, object->objectCategory));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}
