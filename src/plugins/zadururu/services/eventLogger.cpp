#include "eventLogger.h"

#include "programSettings.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <QTime>

bool EventLogger::isActive = false;
bool EventLogger::m_init = false;

EventLogger::EventLogger(QObject *parent)
    : QObject(parent)
{
    init();
}

void EventLogger::init()
{
    isActive = ProgramSettings::instance()->isWriteLogFile();
}

void EventLogger::activate()
{
    isActive = true;
}

void EventLogger::deactivate()
{
    isActive = false;
}

void EventLogger::logData(const char *text)
{
    if (!isActive)
        return;
    QFile file(QDir::homePath() + QStringLiteral("/korvelalog.txt"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        qDebug() << "File open error";
        return;
    }
    QTextStream out(&file);
    if (!m_init) {
        out << "\n" << QTime::currentTime().toString(Qt::TextDate) << " ### NEW_SESSION ###\n\n";
        m_init = true;
    }
    out << QTime::currentTime().toString(Qt::TextDate) << " Debug: " << QString::fromLocal8Bit(text) << "\n";
}

void EventLogger::logData(DebugElement kind, QVariant value)
{
    if (!isActive)
        return;
    QString text = value.toString();
    if (kind == LoadingBlock)
        text.prepend(QStringLiteral("Loading Block With Number : "));
    logData(text.toLocal8Bit().constData());
}
