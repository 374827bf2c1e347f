#include "tests/support/EventLoopWait.h"

#include <QtCore/qtestsupport_core.h>
#include <QDeadlineTimer>

namespace tolvex::test {

namespace {

// How long one turn waits before the condition is checked again.
constexpr int kStepMs = 5;

}  // namespace

void Pump(int ms)
{
    QTest::qWait(ms);
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return done();
        QTest::qWait(kStepMs);
    }
    return true;
}

}  // namespace tolvex::test
