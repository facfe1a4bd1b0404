#pragma once

#include <QObject>

class ZadUruruPlugin;

class ZadUruruPluginPrivate : public QObject
{
    Q_OBJECT
public:
    explicit ZadUruruPluginPrivate(ZadUruruPlugin *plugin)
        : q(plugin)
    {
    }

    ZadUruruPlugin *q;
};
