#include "finding.h"

#include <QJsonValue>

#include <algorithm>

const QList<FindingCodeInfo> &findingCodes()
{
    static const QList<FindingCodeInfo> codes{
        {FindingCode::Unreadable, "E101", true, "unreadable", "a file that cannot be opened or read"},
        {FindingCode::NotWellFormed, "E102", true, "not-well-formed", "a file that is not well-formed XML"},
        {FindingCode::WrongDocument, "E103", true, "wrong-document",
         "a well-formed file that is not of its kind (another document element)"},
        {FindingCode::MissingFile, "E104", true, "missing-file",
         "a file or folder the project needs is missing (definitions.xml, pages, the library)"},
        {FindingCode::UndefinedTag, "E201", true, "undefined-tag", "a binding to a tag id the definitions lack"},
        {FindingCode::UndefinedChannel, "E202", true, "undefined-channel",
         "a tag whose Kanal_Id or KanalName names no channel"},
        {FindingCode::RepeatedName, "E203", true, "repeated-name",
         "two channels, tags, alarms or library components of one name"},
        {FindingCode::RepeatedId, "E204", true, "repeated-id",
         "two channels, tags, alarms or library components of one id"},
        {FindingCode::MissingComponent, "E205", true, "missing-component",
         "a component instance whose library component is not in the library"},
        {FindingCode::RepeatedUid, "E206", true, "repeated-uid", "a component Uid used twice, on one page or on two"},
        {FindingCode::RepeatedPageId, "E207", true, "repeated-page-id", "two pages with one pageID"},
        {FindingCode::UndeclaredEncoding, "W101", false, "undeclared-encoding",
         "a file that is not UTF-8 and declares no encoding; its other characters read as U+FFFD"},
        {FindingCode::ReplacementCharacter, "W102", false, "replacement-character",
         "a text that reads with U+FFFD: bytes not valid in the declared encoding, or an earlier bad conversion"},
        {FindingCode::UnknownItemKind, "W201", false, "unknown-item-kind",
         "an Item whose ItemType no reader knows (the item is dropped), or an Item without ItemType"},
        {FindingCode::UnknownElement, "W202", false, "unknown-element",
         "an element that no reader reads where it stands"},
        {FindingCode::UnknownAttribute, "W203", false, "unknown-attribute", "an attribute that no reader reads"},
        {FindingCode::RepeatedElement, "W204", false, "repeated-element",
         "an element given twice where the readers read only the first"},
        {FindingCode::UnparsedNumber, "W205", false, "unparsed-number",
         "a number that does not parse (or is empty) and reads as 0"},
        {FindingCode::ChangedNumber, "W206", false, "changed-number",
         "a number read as another value: cut to a whole number, or to its low 8 bits"},
        {FindingCode::AbsentDefault, "W207", false, "absent-default",
         "an absent element whose default changes what the record does (a channel loads disabled...)"},
        {FindingCode::InvalidColour, "W208", false, "invalid-colour", "a colour that is not a colour name"},
        {FindingCode::TagWithoutChannel, "W301", false, "tag-without-channel",
         "a tag bound to no channel (\"None\", an empty channel name, or none at all)"},
        {FindingCode::ChannelMismatch, "W302", false, "channel-mismatch",
         "a tag whose Kanal_Id and KanalName name different channels"},
        {FindingCode::PageFileName, "W303", false, "page-file-name",
         "a page whose recorded fileName is not the name of its file"},
        {FindingCode::PageSize, "W304", false, "page-size", "a page whose width or height is zero or negative"},
        {FindingCode::MissingImage, "W305", false, "missing-image", "a library image that does not exist"},
        {FindingCode::ImageLetterCase, "W306", false, "image-letter-case",
         "a library image that exists only in another letter case"},
        {FindingCode::PageInSubfolder, "W307", false, "page-in-subfolder",
         "a page in a subfolder of pages/, which no command reads"},
    };
    return codes;
}

const FindingCodeInfo &findingCodeInfo(FindingCode code)
{
    return findingCodes().at(int(code));
}

std::optional<FindingCode> findingCodeById(const QString &id)
{
    for (const FindingCodeInfo &info : findingCodes())
        if (id.compare(QLatin1String(info.id), Qt::CaseInsensitive) == 0 || id == QLatin1String(info.name))
            return info.code;
    return std::nullopt;
}

QJsonObject Finding::toJson() const
{
    const FindingCodeInfo &info = findingCodeInfo(code);
    return QJsonObject{
        {QStringLiteral("severity"), info.error ? QStringLiteral("error") : QStringLiteral("warning")},
        {QStringLiteral("code"), QLatin1String(info.id)},
        {QStringLiteral("file"), record.file},
        {QStringLiteral("line"), line},
        {QStringLiteral("column"), column},
        {QStringLiteral("record"), record.isFile() ? QJsonValue() : QJsonValue(record.toJson())},
        {QStringLiteral("message"), message},
    };
}

QString Finding::text() const
{
    const FindingCodeInfo &info = findingCodeInfo(code);
    QString place = record.file;
    if (line > 0)
        place += QStringLiteral(":%1:%2").arg(line).arg(column);
    QString text = QStringLiteral("%1: %2 %3: ").arg(place, QLatin1String(info.error ? "error" : "warning"),
                                                      QLatin1String(info.id));
    if (!record.isFile())
        text += record.text() + QStringLiteral(": ");
    return text + message;
}

void sortFindings(QList<Finding> &findings)
{
    // Pages first, in name order, then the definitions, the library, and
    // what lies elsewhere (a folder).
    const auto rank = [](const QString &file) {
        if (file.startsWith(QLatin1String("pages/")))
            return 0;
        if (file == QLatin1String("definitions.xml"))
            return 1;
        return file.startsWith(QLatin1String("library/")) ? 2 : 3;
    };
    std::stable_sort(findings.begin(), findings.end(), [&rank](const Finding &a, const Finding &b) {
        const bool aError = a.isError(), bError = b.isError();
        if (aError != bError)
            return aError;
        const int ra = rank(a.file()), rb = rank(b.file());
        if (ra != rb)
            return ra < rb;
        if (a.file() != b.file())
            return a.file() < b.file();
        if (a.line != b.line)
            return a.line < b.line;
        return a.column < b.column;
    });
}
