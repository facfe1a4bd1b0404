#pragma once

#include "definitionsFields_p.h"
#include "definitionsLoad_p.h"

#include "common/plainXmlScanner_p.h"

#include <QString>
#include <QXmlDefaultHandler>

#include <iterator>

namespace ZadUruru {
namespace DefinitionsXml {

/// A new tree holding the "None" channel alone.
FileDataTree *treeWithNoneChannel();
/// Appends a channel read from a file to @p tree, unless it is the file's own "None" channel.
void appendChannel(FileDataTree *tree, pKanalDef_t *channel);

/**
 * The parser's events into records. It sees the document as its tree would
 * show it: the first child of the root named "ChannelList", "TagList" or
 * "AlarmList"; in it every "Channel", "Tag" or "Alarm"; in a record the first
 * child element of each field's name, whose text is all the character data
 * and CDATA below it. The parser expands entity references in place, for the
 * tree and for this reader alike.
 */
class DefinitionsReader : public QXmlDefaultHandler
{
public:
    /// Appends to @p tree; the tree and its records stay the caller's.
    explicit DefinitionsReader(FileDataTree *tree);
    ~DefinitionsReader() override;

    bool startElement(const QString &namespaceUri, const QString &localName, const QString &qualifiedName,
                      const QXmlAttributes &attributes) override;
    bool endElement(const QString &namespaceUri, const QString &localName, const QString &qualifiedName) override;
    bool characters(const QString &text) override;

    // The same events from the plain scanner: an element opened and closed, text.
    void open(QLatin1String name, const PlainAttribute *attributes, int count);
    void close();
    void text(const char *data, int size, bool entities);
    void cdata(const char *data, int size);
    /// Whether text at this point is read into a field; elsewhere it is skipped.
    bool wantsText() const;

private:
    // One record being read: which fields were met, and the text of the one open.
    template <class R, std::size_t N>
    struct Record
    {
        explicit Record(const FieldRule<R> (&fields)[N]) : table(fields) {}

        const FieldRule<R> (&table)[N];
        R *record = nullptr;
        bool read[N] = {};
        std::size_t next = 0;
        std::size_t current = N; ///< the field whose text is read, N for none
        QString text;

        bool isOpen() const { return current < N; }
        void begin();
        void beginField(const QString &name);
        void endField();
        R *end();
    };

    enum List { Channels, Tags, Alarms, NoList };

    template <class Name>
    void enter(const Name &name);

    /// Calls @p f with the record of the list open, if any.
    template <class F>
    void onRecord(F f);

    void append(const QString &text);

    FileDataTree *m_tree;
    int m_depth = 0; ///< elements open
    List m_list = NoList;
    bool m_listSeen[NoList] = {};
    bool m_inRecord = false;
    Record<pKanalDef_t, std::size(channelFields)> m_channel{channelFields};
    Record<pEtiketDef_t, std::size(tagFields)> m_tag{tagFields};
    Record<pAlarmItem_t, std::size(alarmFields)> m_alarm{alarmFields};
};

} // namespace DefinitionsXml
} // namespace ZadUruru
