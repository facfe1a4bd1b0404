#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

/// One entry of a page's scrolling text line.
struct ScrollingText
{
    int TagID = 0;
    QString ScrollText = QStringLiteral("Text");
};

/// The properties of one page. Members marked "host" are kept for the host
/// editor; the library only initialises them.
struct PagePropertiesData_t
{
    void *hostSlot = nullptr;        ///< host
    QString pageName;
    QString fileName;
    QString relativePath;
    int pageID = -1;
    int pageAux = -1;                ///< host; never stored in the file
    int W = -1;
    int H = -1;
    QString pageBgImage;
    QString pageIcon;
    int pageType = 0;
    bool customPageSize = false;
    bool addScrollingText = false;
    qint64 pageAccessRights = 0;
    qint64 pageAccessRights2 = 0;
    int scaleToWindow = 0;
    QList<ScrollingText> ScrollTags;
};
