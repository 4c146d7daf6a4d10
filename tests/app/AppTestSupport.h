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
class QWidget;

namespace qm::test {

// Runs the event loop until done() or timeoutMs; returns done().
bool WaitUntil(const std::function<bool()>& done, int timeoutMs = 20000);
// Runs the event loop for ms milliseconds.
void Pump(int ms);
// Once a modal window for which match() holds is up (within 20 s), runs
// act on it from the event loop, as a user at the keyboard would. Returns
// at once; act runs while the code under test waits in the modal loop.
void OnNextModal(const std::function<bool(QWidget*)>& match, std::function<void(QWidget*)> act);
// Drops the drivers of OnNextModal that have not acted yet (at a test's end,
// so none acts on a later test's window).
void ForgetModalDrivers();
// Presses the default button of the next message box and keeps its text.
void AnswerNextMessageBox(QString* text);
// A picture of the widget in PNG (for looking at a dialog's layout).
void SaveScreenshot(QWidget* widget, const std::string& fileName);
// Runs a script in the page and returns its result (waits for it).
QVariant RunJs(QWebEnginePage* page, const QString& script);

} // namespace qm::test
