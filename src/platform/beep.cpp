#include "beep.h"

#include <QApplication>

namespace Beep {
namespace {
Handler &handler()
{
    static Handler h;
    return h;
}
}   // namespace

void setHandler(Handler h) { handler() = std::move(h); }

void beep()
{
    if (handler()) {
        handler()();
        return;
    }
    QApplication::beep();
}

}   // namespace Beep
