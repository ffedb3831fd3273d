#include "runtime.h"

#include <QByteArray>

namespace Runtime {

void prepare()
{
#ifdef Q_OS_WIN
    qputenv("QT_ENABLE_REGEXP_JIT", QByteArrayLiteral("0"));   // read once, at the first expression Qt compiles
#endif
}

}   // namespace Runtime
