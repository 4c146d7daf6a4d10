#pragma once
// Helpers for driving the real main window: waiting with the event loop
// running, and scripts in the page. Scripted answers: ScriptedPrompts.h.
#include "ScriptedPrompts.h"

#include <QString>
#include <QVariant>

#include <deque>
#include <functional>
#include <optional>
#include <string>

class QWebEnginePage;

namespace qm::test {

// Runs the event loop until done() or timeoutMs; returns done().
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000);
// Runs the event loop for ms milliseconds.
void Pump(int ms);
// Runs a script in the page and returns its result (waits for it).
QVariant RunJs(QWebEnginePage* page, const QString& script);

} // namespace qm::test
