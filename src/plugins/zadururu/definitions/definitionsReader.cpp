#include "definitionsReader_p.h"

#include "common/xmlParser_p.h"

#include <algorithm>
#include <memory>

namespace ZadUruru {
namespace DefinitionsXml {

namespace {

// Element depths: the root, its lists, their records, and the records' fields.
constexpr int listDepth = 2;
constexpr int recordDepth = 3;
constexpr int fieldDepth = 4;

const QLatin1String listNames[] = {QLatin1String("ChannelList"), QLatin1String("TagList"),
                                   QLatin1String("AlarmList")};
const QLatin1String recordNames[] = {QLatin1String("Channel"), QLatin1String("Tag"), QLatin1String("Alarm")};

} // namespace

FileDataTree *treeWithNoneChannel()
{
    auto *tree = new FileDataTree;
    auto *none = new pKanalDef_t;
    none->Name = noneChannelName;
    tree->channels.append(none);
    return tree;
}

void appendChannel(FileDataTree *tree, pKanalDef_t *channel)
{
    // The file's own "None" channel gives way to the fresh one at the head.
    if (channel->Name == noneChannelName)
        delete channel;
    else
        tree->channels.append(channel);
}

template <class R, std::size_t N>
void DefinitionsReader::Record<R, N>::begin()
{
    record = new R;
    std::fill(std::begin(read), std::end(read), false);
    next = 0;
    current = N;
}

template <class R, std::size_t N>
void DefinitionsReader::Record<R, N>::beginField(const QString &name)
{
    // Only the first element of a field's name counts; later ones are skipped.
    const std::size_t i = findField(table, name, next);
    if (i == N || read[i])
        return;
    read[i] = true;
    current = i;
    next = i + 1;
}

template <class R, std::size_t N>
void DefinitionsReader::Record<R, N>::endField()
{
    if (current == N)
        return;
    table[current].read(*record, text);
    text.clear();
    current = N;
}

template <class R, std::size_t N>
R *DefinitionsReader::Record<R, N>::end()
{
    readAbsentFields(table, read, *record);
    R *done = record;
    record = nullptr;
    return done;
}

template <class F>
void DefinitionsReader::onRecord(F f)
{
    if (m_list == Channels)
        f(m_channel);
    else if (m_list == Tags)
        f(m_tag);
    else if (m_list == Alarms)
        f(m_alarm);
}

DefinitionsReader::DefinitionsReader(FileDataTree *tree)
    : m_tree(tree)
{
}

DefinitionsReader::~DefinitionsReader()
{
    // A record left open by a parse that stopped.
    delete m_channel.record;
    delete m_tag.record;
    delete m_alarm.record;
}

template <class Name>
void DefinitionsReader::enter(const Name &name)
{
    switch (++m_depth) {
    case listDepth:
        m_list = NoList;
        for (int list = Channels; list < NoList; ++list) {
            if (name == listNames[list] && !m_listSeen[list]) {
                m_listSeen[list] = true;
                m_list = List(list);
            }
        }
        break;
    case recordDepth:
        m_inRecord = m_list != NoList && name == recordNames[m_list];
        if (m_inRecord)
            onRecord([](auto &record) { record.begin(); });
        break;
    case fieldDepth:
        if (m_inRecord)
            onRecord([&name](auto &record) { record.beginField(name); });
        break;
    default:
        break;
    }
}

bool DefinitionsReader::startElement(const QString &, const QString &, const QString &name, const QXmlAttributes &)
{
    enter(name);
    return true;
}

void DefinitionsReader::open(QLatin1String name, const PlainAttribute *, int)
{
    enter(name);
}

void DefinitionsReader::close()
{
    switch (m_depth--) {
    case listDepth:
        m_list = NoList;
        break;
    case recordDepth:
        if (!m_inRecord)
            break;
        m_inRecord = false;
        if (m_list == Channels) {
            appendChannel(m_tree, m_channel.end());
        } else if (m_list == Tags) {
            m_tree->tags.append(m_tag.end());
        } else {
            m_tree->alarms.append(m_alarm.end());
        }
        break;
    case fieldDepth:
        if (m_inRecord)
            onRecord([](auto &record) { record.endField(); });
        break;
    default:
        break;
    }
}

bool DefinitionsReader::endElement(const QString &, const QString &, const QString &)
{
    close();
    return true;
}

bool DefinitionsReader::wantsText() const
{
    // A field is open only inside a record, and only until its element ends.
    return m_list == Channels ? m_channel.isOpen() : m_list == Tags ? m_tag.isOpen() : m_list == Alarms && m_alarm.isOpen();
}

void DefinitionsReader::append(const QString &text)
{
    onRecord([&text](auto &record) { record.text += text; });
}

void DefinitionsReader::text(const char *data, int size, bool entities)
{
    if (wantsText())
        append(plainText(data, size, entities));
}

void DefinitionsReader::cdata(const char *data, int size)
{
    if (wantsText())
        append(QString::fromUtf8(data, size));
}

bool DefinitionsReader::characters(const QString &text)
{
    if (wantsText())
        append(text);
    return true;
}

} // namespace DefinitionsXml

FileDataTree *readDefinitions(const QByteArray &data)
{
    using namespace DefinitionsXml;
    using Tree = std::unique_ptr<FileDataTree, void (*)(FileDataTree *)>;
    Tree tree(treeWithNoneChannel(), destroyFileDataTree);
    if (data.isEmpty())
        return tree.release();

    // Most files are of the plain form the writers write, which the scanner
    // reads (nested within the limit); for any other the parser decides, from
    // the start.
    Tree records(new FileDataTree, destroyFileDataTree);
    bool parsed = false;
    {
        DefinitionsReader events(records.get());
        parsed = PlainXmlScanner<DefinitionsReader>(data, events).scan();
    }
    if (!parsed) {
        records.reset(new FileDataTree);
        DefinitionsReader events(records.get());
        parsed = parseXml(data, events, SpaceOnlyText::Reported);
    }
    if (parsed) {
        // Whatever may run out of memory comes before the records change hands.
        QList<pKanalDef_t *> channels = tree->channels + records->channels;
        tree->channels.swap(channels);
        tree->tags.swap(records->tags);
        tree->alarms.swap(records->alarms);
        records->channels.clear();
    }
    return tree.release();
}

} // namespace ZadUruru
