#include "definitionsXml_p.h"

#include "common/xmlText_p.h"

#include <QStringList>

#include <cmath>
#include <limits>

namespace ZadUruru {
namespace DefinitionsXml {

static void collectText(const QDomNode &node, QString &out)
{
    for (QDomNode n = node.firstChild(); !n.isNull(); n = n.nextSibling()) {
        // CDATA sections are text nodes too.
        if (n.isText())
            out += n.toText().data();
        else if (n.isElement())
            collectText(n, out);
    }
}

QString elementText(const QDomElement &element)
{
    // Most elements hold one piece of text: take it as it is.
    const QDomNode first = element.firstChild();
    if (first.isNull())
        return QString();
    if (first.isText() && first.nextSibling().isNull())
        return first.toText().data();
    QString text;
    collectText(element, text);
    return text;
}

// Qt's conversions return 0 for text that is not a whole number in range.
int toSigned(const QString &text)
{
    return text.toInt(nullptr, 10);
}

unsigned int toUnsigned(const QString &text)
{
    return text.toUInt(nullptr, 10);
}

qint8 toLowByteSigned(const QString &text)
{
    return qint8(quint8(uint(toSigned(text)) & 0xffu));
}

quint8 toLowByteUnsigned(const QString &text)
{
    return quint8(uint(toSigned(text)) & 0xffu);
}

qint64 toInt64(const QString &text)
{
    return text.toLongLong(nullptr, 10);
}

double toDouble(const QString &text)
{
    // QString::toDouble always uses the C locale.
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

double toSingleWidened(const QString &text)
{
    bool ok = false;
    const float value = text.toFloat(&ok);
    if (!ok || !std::isfinite(value))
        return 0.0;
    return double(value);
}

QList<int> toIdList(const QString &text)
{
    QString bare = text;
    bare.remove(QLatin1Char('{')).remove(QLatin1Char('}'));
    QList<int> ids;
    const QStringList pieces = bare.split(QLatin1Char(','), Qt::KeepEmptyParts);
    for (const QString &piece : pieces) {
        bool ok = false;
        const int id = piece.toInt(&ok, 10);
        if (ok)
            ids.append(id);
    }
    return ids;
}

QString sixDigits(double value)
{
    return QString::number(value, 'g', 6);
}

QString idListText(const QList<int> &ids)
{
    QString text = QStringLiteral("{");
    for (int i = 0; i < ids.size(); ++i) {
        if (i)
            text += QLatin1Char(',');
        text += QString::number(ids.at(i));
    }
    text += QLatin1Char('}');
    return text;
}

void writeField(QXmlStreamWriter &writer, const char *element, const QString &text, bool cdata)
{
    writer.writeStartElement(QLatin1String(element));
    if (cdata)
        writer.writeCDATA(ZadUruru::xmlWritable(text));
    else
        writer.writeCharacters(ZadUruru::xmlWritable(text));
    writer.writeEndElement();
}

} // namespace DefinitionsXml
} // namespace ZadUruru
