#include "roundtrips.h"

#include <QAtomicInt>
#include <QThread>

namespace RoundTrips {
namespace {
QAtomicInteger<qint64> g_count;
QAtomicInt g_latency;
} // namespace

void statement()
{
    g_count.fetchAndAddRelaxed(1);
    if (const int ms = g_latency.loadRelaxed())
        QThread::msleep(ms);
}

qint64 count() { return g_count.loadRelaxed(); }

void setLatency(int ms) { g_latency.storeRelaxed(ms); }

} // namespace RoundTrips
