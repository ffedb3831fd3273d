#pragma once
#include <QtGlobal>

// Every statement the program sends to its database, and every transaction's
// begin, commit and rollback, is one round trip to the server. They are
// counted, and a latency can be added to each, to show what a path costs
// over a slow link.
namespace RoundTrips {

// Called just before the statement goes out: counts it, then waits the latency.
void statement();

// Statements that go to the server together, in one batch: the batch is one
// round trip, counted when the scope begins, whatever runs inside it on this
// thread. SQLite, with no link to cross, runs a batch's statements one by one
// inside such a scope.
class OneTrip {
public:
    OneTrip();
    ~OneTrip();
    OneTrip(const OneTrip &) = delete;
    OneTrip &operator=(const OneTrip &) = delete;
};

qint64 count();
void setLatency(int ms);   // 0: none

}   // namespace RoundTrips
