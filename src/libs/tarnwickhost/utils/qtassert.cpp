#include "qtassert.h"

#include <QDebug>

namespace Utils {

static AssertHandler &handler()
{
    static AssertHandler h;
    return h;
}

void writeAssertLocation(const char *msg)
{
    if (handler())
        handler()(msg);
    else
        qDebug("SOFT ASSERT: %s", msg);
}

AssertHandler setAssertHandler(AssertHandler h)
{
    AssertHandler previous = std::move(handler());
    handler() = std::move(h);
    return previous;
}

} // namespace Utils
