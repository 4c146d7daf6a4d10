// Word counts in the status line: the open topic's from the text the page
// last reported, the project's counted on a worker thread from a snapshot
// (the session's unsaved texts and the page files), so a large project never
// holds up typing.
#include "MainWindow.h"
#include "base/StringUtil.h"
#include "bridge/EditorBridge.h"
#include "i18n/Translation.h"
#include "workspace/EditingSession.h"
#include "workspace/WordCount.h"

#include <QFutureWatcher>
#include <QLabel>
#include <QLocale>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace qm::app {

namespace {
constexpr int kTopicDelayMs = 300;
constexpr int kProjectDelayMs = 2000;

std::string Grouped(size_t n) {
    return QLocale().toString(static_cast<qulonglong>(n)).toStdString();
}
} // namespace

void TfrmMain::SetUpWordCount() {
    FWordsLabel = new QLabel;
    FWordsLabel->setObjectName(QStringLiteral("lbWordCount"));
    statusBar()->insertPermanentWidget(0, FWordsLabel);
    FTopicWordsTimer = new QTimer(this);
    FTopicWordsTimer->setSingleShot(true);
    FTopicWordsTimer->setInterval(kTopicDelayMs);
    connect(FTopicWordsTimer, &QTimer::timeout, this, [this] {
        FTopicWords = CountHtmlWords(FLastPageHtml);
        ShowWordCount();
    });
    FProjectWordsTimer = new QTimer(this);
    FProjectWordsTimer->setSingleShot(true);
    FProjectWordsTimer->setInterval(kProjectDelayMs);
    connect(FProjectWordsTimer, &QTimer::timeout, this, [this] { CountProjectWordsNow(); });
    FProjectWordsWatcher = new QFutureWatcher<size_t>(this);
    connect(FProjectWordsWatcher, &QFutureWatcher<size_t>::finished, this, [this] {
        FProjectWords = FProjectWordsWatcher->result();
        ShowWordCount();
        if (FProjectWordsAgain) {
            FProjectWordsAgain = false;
            FProjectWordsTimer->start();
        }
    });
    connect(FBridge, &TEditorBridge::OnHtmlChanged, this, [this](const std::string& html) {
        FLastPageHtml = html;
        FTopicWordsTimer->start();
    });
    ScheduleWordCount();
}

void TfrmMain::ScheduleWordCount() {
    if (FProjectWordsTimer != nullptr && !FProjectWordsTimer->isActive())
        FProjectWordsTimer->start();
}

void TfrmMain::CountProjectWordsNow() {
    if (FProjectWordsWatcher->isRunning()) {
        FProjectWordsAgain = true; // the text changed while it was counting
        return;
    }
    std::vector<TWordCountSource> sources =
        ProjectWordSources(Project(), FSession->UnsavedTopicTexts());
    if (!FPageWords)
        FPageWords = std::make_shared<TPageWordCache>();
    FProjectWordsWatcher->setFuture(
        QtConcurrent::run([sources = std::move(sources), cache = FPageWords] {
            // The first count of a large project reads every page; it must
            // not take a core from the window and the editor page meanwhile.
            QThread* thread = QThread::currentThread();
            thread->setPriority(QThread::IdlePriority);
            const size_t words = CountProjectWords(sources, cache.get());
            thread->setPriority(QThread::NormalPriority);
            return words;
        }));
}

QString TfrmMain::WordCountText() const {
    return FWordsLabel->text();
}

void TfrmMain::ShowWordCount() {
    std::string text;
    if (!CurrentTopicID().empty())
        text = FormatS(Translate("%s words in this topic"), Grouped(FTopicWords));
    if (FProjectWords != static_cast<size_t>(-1)) {
        if (!text.empty())
            text += "   \xC2\xB7   ";
        text += FormatS(Translate("%s words in the project"), Grouped(FProjectWords));
    }
    FWordsLabel->setText(QString::fromStdString(text));
}

} // namespace qm::app
