#pragma once

// The two readers of a scene file's bytes. Both give the same records for
// every input; the one the library loads with builds no document tree.

#include <zadururu/scene/pagePropertiesData.h>
#include <zadururu/scene/scaFileData.h>
#include <zadururu/zadururu_export.h>

#include <QByteArray>
#include <QString>

namespace ZadUruru {

/**
 * The whole page: its items and its page properties, with @p fileName as the
 * file name unless it is null. Null when the document is not well-formed or goes
 * past a limit of xmlLimits.h. Memory running out throws std::bad_alloc,
 * which ScaFileProcessor catches.
 */
ScaFileData *readScene(const QByteArray &data, const QString &fileName);
/// The page properties alone, without the scrolling texts; null as for readScene().
PagePropertiesData_t *readSceneProperties(const QByteArray &data);

/// The same records read from the document tree of the bytes: the reference readScene() is checked against.
ZADURURU_EXPORT ScaFileData *readSceneThroughDom(const QByteArray &data, const QString &fileName);
/// The reference of readSceneProperties().
ZADURURU_EXPORT PagePropertiesData_t *readScenePropertiesThroughDom(const QByteArray &data);

} // namespace ZadUruru
