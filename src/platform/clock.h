#pragma once
#include <QDateTime>
#include <functional>

// The wall clock of the program; tests fix it.
namespace Clock {
QDateTime now();
void setSource(std::function<QDateTime()> source);   // empty: the real clock
}   // namespace Clock
