#include "wholeFileWriter_p.h"

#include <QByteArray>
#include <QFileInfo>
#include <QIODevice>
#include <QSaveFile>

namespace ZadUruru {

namespace {

// The writers hand over their XML a few bytes at a time, and a file device
// pays for every write with its own buffer bookkeeping. This device gathers
// the bytes and passes them on in large pieces. After a failed write to the
// file every later write fails too, so the producer sees the error.
class GatheringDevice : public QIODevice
{
public:
    explicit GatheringDevice(QIODevice *target)
        : m_target(target)
    {
        m_pending.reserve(piece);
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    bool isSequential() const override { return true; }

    /// Passes on what is gathered; false once a write to the file has failed.
    bool drain()
    {
        if (!m_failed && !m_pending.isEmpty()) {
            m_failed = m_target->write(m_pending) != m_pending.size();
            m_pending.resize(0); // keeps the reserved room
        }
        return !m_failed;
    }

protected:
    qint64 readData(char *, qint64) override { return -1; }

    qint64 writeData(const char *data, qint64 size) override
    {
        if (m_failed)
            return -1;
        m_pending.append(data, int(size));
        if (m_pending.size() >= piece && !drain())
            return -1;
        return size;
    }

private:
    static constexpr int piece = 1 << 20;
    QIODevice *m_target;
    QByteArray m_pending;
    bool m_failed = false;
};

} // namespace

bool writeWholeFile(const QString &path, const std::function<bool(QIODevice *)> &produce)
{
    // A target we may not write is not replaced behind its owner's back,
    // even though its directory would let us rename a new file over it.
    const QFileInfo target(path);
    if (target.exists() && (!target.isFile() || !target.isWritable()))
        return false;

    // In a folder we may not create files in, the save fails (QSaveFile's
    // default) rather than write the target in place, which a full disk or a
    // kill would leave cut.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // commit() flushes the last buffered bytes itself, but Qt loses an error
    // of that flush and would rename a cut file over the target: flush first.
    GatheringDevice gathered(&file);
    if (!produce(&gathered) || !gathered.drain() || !file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace ZadUruru
