#include "AppTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QWebEnginePage>
#include <QWidget>

#include <memory>

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

namespace {
int gModalGeneration = 0;
} // namespace

void ForgetModalDrivers() {
    ++gModalGeneration;
}

void OnNextModal(const std::function<bool(QWidget*)>& match, std::function<void(QWidget*)> act) {
    const int generation = gModalGeneration;
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [=] {
        if (generation != gModalGeneration) {
            *poll = nullptr;
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (modal != nullptr && match(modal)) {
            act(modal);
            *poll = nullptr; // breaks the cycle of the shared function
            return;
        }
        if (clock->elapsed() < 20000)
            QTimer::singleShot(10, [poll] {
                if (*poll)
                    (*poll)();
            });
    };
    QTimer::singleShot(0, [poll] { (*poll)(); });
}

void AnswerNextMessageBox(QString* text) {
    OnNextModal([](QWidget* w) { return qobject_cast<QMessageBox*>(w) != nullptr; },
                [text](QWidget* w) {
                    auto* box = qobject_cast<QMessageBox*>(w);
                    if (text != nullptr)
                        *text = box->text();
                    if (QAbstractButton* b = box->defaultButton())
                        b->click();
                    else
                        box->accept();
                });
}

void SaveScreenshot(QWidget* widget, const std::string& fileName) {
    widget->grab().save(QString::fromStdString(fileName));
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
