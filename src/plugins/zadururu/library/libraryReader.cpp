#include "libraryLoad_p.h"

#include "common/childElements_p.h"
#include "common/partReader_p.h"
#include "common/xmlParser_p.h"

#include <QDomDocument>
#include <QDomElement>

namespace {

using ZadUruru::ChildElements;

// Text of the first child element named @p tag; empty when there is none.
template <class E>
QString childText(const ChildElements<E> &object, const QString &tag)
{
    return object.element(tag).text();
}

// Decimal integer of a child element; empty, non-numeric and fractional
// texts give 0.
template <class E>
int childInt(const ChildElements<E> &object, const QString &tag)
{
    return childText(object, tag).toInt(nullptr, 10);
}

// Image elements are numbered from 1; the first missing index ends the list.
template <class E>
QList<QString> childImages(const ChildElements<E> &object)
{
    QList<QString> images;
    for (int k = 1;; ++k) {
        const E image = object.element(QLatin1String("image") + QString::number(k));
        if (image.isNull())
            break;
        images.append(QLatin1String(ZadUruru::libraryImagePrefix) + image.text());
    }
    return images;
}

template <class E>
ScadaLibObject *readObject(const E &element)
{
    auto *object = new ScadaLibObject;
    object->name = element.attribute(QStringLiteral("name"));
    // Every field is looked up among the children, collected once.
    const ChildElements<E> children(element);
    object->objectCategory = childText(children, QStringLiteral("objectCategory"));
    object->objectUID = childInt(children, QStringLiteral("objectUID"));
    object->objectType = childInt(children, QStringLiteral("objectType"));
    object->rtuID = childInt(children, QStringLiteral("rtuID"));
    object->registerID = childInt(children, QStringLiteral("registerID"));
    object->width = childInt(children, QStringLiteral("width"));
    object->height = childInt(children, QStringLiteral("height"));
    object->lofX = childInt(children, QStringLiteral("lofX"));
    object->lofY = childInt(children, QStringLiteral("lofY"));
    object->m_val = float(childInt(children, QStringLiteral("m_val")));
    object->a_val = float(childInt(children, QStringLiteral("a_val")));
    object->images = childImages(children);
    return object;
}

// The object elements of the root, as its document tree shows them.
struct LibraryParts
{
    QList<ScadaLibObject *> objects;

    LibraryParts() = default;
    LibraryParts(const LibraryParts &) = delete;
    LibraryParts &operator=(const LibraryParts &) = delete;
    ~LibraryParts() { restart(); } // what a read that stopped part way holds

    template <class Name>
    bool starts(int depth, const Name &name)
    {
        return depth == 2 && name == QLatin1String("object");
    }
    void ends(int) {}
    void read(const ZadUruru::TreeElement &part) { objects.append(readObject(part)); }
    void restart()
    {
        qDeleteAll(objects);
        objects.clear();
    }
};

} // namespace

bool ZadUruru::readLibrary(const QByteArray &data, QList<ScadaLibObject *> *objects)
{
    LibraryParts parts;
    if (!readParts(data, parts))
        return false;
    *objects += parts.objects;
    parts.objects.clear();
    return true;
}

bool ZadUruru::readLibraryThroughDom(const QByteArray &data, QList<ScadaLibObject *> *objects)
{
    // The byte overload honours the encoding the document declares.
    QDomDocument document;
    if (!parseDocumentTree(data, document, SpaceOnlyText::Dropped))
        return false;
    const QDomElement root = document.documentElement();
    for (QDomElement element = root.firstChildElement(QStringLiteral("object")); !element.isNull();
         element = element.nextSiblingElement(QStringLiteral("object")))
        objects->append(readObject(element));
    return true;
}
