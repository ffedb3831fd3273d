#pragma once
#include <QtGlobal>

// Every statement the program sends to its database, and every transaction's
// begin, commit and rollback, is one round trip to the server. They are
// counted, and a latency can be added to each, to show what a path costs
// over a slow link.
namespace RoundTrips {

// Called just before the statement goes out: counts it, then waits the latency.
void statement();

qint64 count();
void setLatency(int ms);   // 0: none

} // namespace RoundTrips
