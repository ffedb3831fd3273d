#include "roundtrips.h"

#include <QAtomicInt>
#include <QThread>

namespace RoundTrips {
namespace {
QAtomicInteger<qint64> g_count;
QAtomicInt g_latency;
thread_local int t_batches = 0;   // open OneTrip scopes of this thread
}   // namespace

void statement()
{
    if (t_batches > 0)
        return;
    g_count.fetchAndAddRelaxed(1);
    if (const int ms = g_latency.loadRelaxed())
        QThread::msleep(ms);
}

OneTrip::OneTrip()
{
    statement();
    ++t_batches;
}

OneTrip::~OneTrip() { --t_batches; }

qint64 count() { return g_count.loadRelaxed(); }

void setLatency(int ms) { g_latency.storeRelaxed(ms); }

}   // namespace RoundTrips
