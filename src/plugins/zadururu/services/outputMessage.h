#pragma once

#include <zadururu/zadururu_export.h>

#include <QObject>
#include <QString>

/**
 * Shows the user one of a fixed set of messages by code, as a modal message
 * box, so that every plugin words them alike. Codes 0 to 7 are warnings,
 * code 8 an information; any other code shows only its code.
 */
class ZADURURU_EXPORT OutputMessage : public QObject
{
    Q_OBJECT
public:
    static OutputMessage *instance();
    explicit OutputMessage(QObject *parent = nullptr);

    /// Shows the box for @p code and returns when the user has closed it.
    /// @p detail is read only for code 7 (a broken file), where it must not be null.
    static void message(int code, QString *detail);

private:
    static OutputMessage *m_instance;
};
