#include "AppTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWebEnginePage>

#include <gtest/gtest.h>

namespace qm::test {

namespace {
template <class T> T Take(std::deque<T>& q, const char* what, T fallback) {
    if (q.empty()) {
        ADD_FAILURE() << "unexpected question: " << what;
        return fallback;
    }
    T v = std::move(q.front());
    q.pop_front();
    return v;
}
} // namespace

std::optional<std::string> TScriptedPrompts::AskText(const std::string& caption, const std::string&,
                                                     const std::string&) {
    return Take(Texts, caption.c_str(), std::optional<std::string>());
}

app::TAnswer TScriptedPrompts::AskYesNoCancel(const std::string& text) {
    return Take(YesNoCancel, text.c_str(), app::TAnswer::Cancel);
}

bool TScriptedPrompts::AskYesNo(const std::string& text) {
    return Take(YesNo, text.c_str(), false);
}

std::optional<std::string> TScriptedPrompts::AskSaveProjectFile(const std::string& proposed) {
    LastProposedSaveName = proposed;
    return Take(SaveFiles, "save file", std::optional<std::string>());
}

std::optional<std::string> TScriptedPrompts::AskOpenProjectFile() {
    return Take(OpenFiles, "open file", std::optional<std::string>());
}

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
