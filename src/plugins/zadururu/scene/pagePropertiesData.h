#pragma once

/**
 * @file pagePropertiesData.h
 * @brief The properties of a page (PagePropertiesData_t) and its scrolling
 * texts (ScrollingText).
 */

#include <QList>
#include <QString>
#include <QtGlobal>

/**
 * One entry of a page's scrolling text line: a `Tag` element with the
 * attributes `TagID` and `ScrollText` inside the page's `ScrollTags`.
 */
struct ScrollingText
{
    /// Id of the tag the entry belongs to. Read as 0 when the attribute is absent or not a number.
    int TagID = 0;
    /// The text shown; "Text" when the attribute is absent.
    QString ScrollText = QStringLiteral("Text");
};

/**
 * The properties of one page: the `PageProperties` element of a scene file.
 * Embedded in ScaFileData; ScaFileProcessor::loadSceneData() returns it alone.
 *
 * A new record holds the values given below as "new"; the readers store the
 * values given as "read" when the element is absent. A present value that is
 * not a number reads as 0, also where the absent value is another. Fields
 * marked "host" are kept for the editor: the library only initialises them.
 */
struct PagePropertiesData_t
{
    void *hostSlot = nullptr;        ///< host; the library never sets, reads or stores it
    QString pageName;                ///< the page's name, as users see it
    /**
     * The page's file name. A save writes the path it was given instead; a
     * load stores the name the caller gives (ScaFileProcessor::loadFileData())
     * and the file's `fileName` element only when that name is null.
     */
    QString fileName;
    QString relativePath;            ///< the page file's path relative to the project, as the host gives it
    /**
     * The page's number, by which ProjectDataTree::getFileNameWithPageId()
     * finds it. New and read: -1 (but 0 when present and not a number).
     */
    int pageID = -1;
    int pageAux = -1;                ///< host; never stored: -1 after every load
    /// Width of the page in page units. New: -1; read: 250 (attribute `W` of `pageGeometry`).
    int W = -1;
    /// Height of the page in page units. New: -1; read: 150 (attribute `H` of `pageGeometry`).
    int H = -1;
    QString pageBgImage;             ///< background image of the page, as the host names it
    QString pageIcon;                ///< icon of the page, as the host names it
    int pageType = 0;                ///< the kind of page, as the editor numbers it; read: 0
    bool customPageSize = false;     ///< the page uses its own #W and #H; stored as "0" or "1", any other number reads as true
    bool addScrollingText = false;   ///< the page shows its scrolling text line (#ScrollTags); stored like #customPageSize
    /// Access rights of the page, first 64-bit word; the bits are the editor's. Read: 0.
    qint64 pageAccessRights = 0;
    /// Access rights of the page, second 64-bit word; read: 0.
    qint64 pageAccessRights2 = 0;
    int scaleToWindow = 0;           ///< how the page is scaled to its window, as the editor numbers it; read: 0
    /// The page's scrolling texts, in file order. ScaFileProcessor::loadSceneData() leaves it empty.
    QList<ScrollingText> ScrollTags;
};
