#include "AppTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWebEnginePage>

namespace qm::test {

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

void Pump(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

QVariant RunJs(QWebEnginePage* page, const QString& script) {
    bool finished = false;
    QVariant result;
    page->runJavaScript(script, [&](const QVariant& v) {
        result = v;
        finished = true;
    });
    WaitUntil([&] { return finished; }, 10000);
    return result;
}

} // namespace qm::test
