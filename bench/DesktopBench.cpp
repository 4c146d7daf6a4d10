// qm-bench-desktop PROJECT.hff [SWITCHES]: the desktop program's start and
// topic switches on a large project, timed the way an author meets them.
//
//   tree-usable-ms  from process start until the contents tree shows its rows
//                   and the event loop answers again (a click would be taken)
//   editor-ready-ms from process start until the editor page reports "ready"
//   switch-ms       a mouse click on a row until the editor page reports the
//                   new topic's text as shown (its echo of "setHtml"); median,
//                   min and max over SWITCHES clicks on rows spread over the tree
//
// It starts the same window as the program does, with the program's style,
// translation and dictionaries; it quits when done and never saves.
#include "ContentsTree.h"
#include "MainWindow.h"
#include "Spelling.h"
#include "bridge/EditorBridge.h"
#include "model/DocModel.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QStyleFactory>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

// Milliseconds since the kernel started this process: what the author waits
// includes loading the libraries, before main() runs.
double MsSinceProcessStart() {
    std::ifstream in("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    // Field 22 (starttime, in clock ticks since boot) counts from after the
    // command name, which may hold spaces: count from its closing parenthesis.
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22; ++i)
        fields >> field;
    const double startMs = std::stod(field) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6 -
           startMs;
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
    }
    return true;
}

// The first heading of a topic page: the page's echo must hold it for the
// switch to count as shown.
QString HeadingOf(const QString& pagePath) {
    QFile f(pagePath);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression h1(QStringLiteral("<h1[^>]*>([^<]+)</h1>"));
    const auto m = h1.match(QString::fromUtf8(f.readAll()));
    return m.hasMatch() ? m.captured(1) : QString();
}

// A left click as the view receives it from the window system.
void Click(QWidget* w, QPoint at) {
    const QPointF local(at);
    const QPointF global(w->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Rows to click: top-level rows spread over the whole contents, and a child
// row under some of them, so both near and far switches are taken.
std::vector<QModelIndex> PickRows(QTreeView* tree, int count) {
    QAbstractItemModel* model = tree->model();
    std::vector<QModelIndex> rows;
    const int top = model->rowCount();
    for (int i = 0; i < count && top > 0; ++i) {
        // Far apart and never the same row twice, walking back and forth.
        const int row = i % 2 == 0 ? (i * top) / (2 * count) : top - 1 - (i * top) / (2 * count);
        QModelIndex idx = model->index(row, 0);
        if (i % 3 == 1 && model->rowCount(idx) > 0)
            idx = model->index(model->rowCount(idx) - 1, 0, idx);
        rows.push_back(idx);
    }
    return rows;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROJECT.hff [SWITCHES]\n", argv[0]);
        return 2;
    }
    const int switches = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;
    if (geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillmate"));
    // Its own settings: the author's last project and language stay as they are.
    QApplication::setOrganizationName(QStringLiteral("QuillmateBench"));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    qm::app::TSpelling::UseProgramDictionaries();

    std::fprintf(stderr, "app %.0f\n", MsSinceProcessStart());
    auto window = std::make_unique<qm::app::TfrmMain>(QStringList{QString::fromLocal8Bit(argv[1])});
    window->SetOpenOutputs(false);
    std::fprintf(stderr, "ctor %.0f\n", MsSinceProcessStart());
    window->showMaximized();
    std::fprintf(stderr, "shown %.0f\n", MsSinceProcessStart());
    QTreeView* tree = window->Tree();

    // Usable: the rows are painted and a queued event gets through.
    bool painted = false;
    struct TPaintSpy final : QObject {
        bool* Painted;
        explicit TPaintSpy(bool* p) : Painted(p) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint)
                *Painted = true;
            return false;
        }
    } spy(&painted);
    tree->viewport()->installEventFilter(&spy);
    if (!WaitUntil([&] { return painted && tree->model()->rowCount() > 0; }, 60000)) {
        std::fprintf(stderr, "the contents tree never showed its rows\n");
        return 1;
    }
    bool answered = false;
    QTimer::singleShot(0, [&] { answered = true; });
    WaitUntil([&] { return answered; }, 60000);
    const double treeUsable = MsSinceProcessStart();
    tree->viewport()->removeEventFilter(&spy);

    if (!WaitUntil([&] { return window->EditorReady(); }, 60000)) {
        std::fprintf(stderr, "the editor page never became ready\n");
        return 1;
    }
    const double editorReady = MsSinceProcessStart();

    // The page's echo of the text it was given.
    QString lastEcho;
    int echoes = 0;
    qm::app::TEditorBridge* bridge = window->Bridge();
    QObject::connect(bridge, &qm::app::TEditorBridge::OnHtmlChanged, [&](const std::string& html) {
        if (!bridge->LastHtmlChangeWasUser() && !bridge->LastHtmlWasResponse()) {
            lastEcho = QString::fromStdString(html);
            ++echoes;
        }
    });
    // Let the first topic's load settle before timing.
    WaitUntil([] { return false; }, 1500);

    std::vector<double> times;
    for (const QModelIndex& idx : PickRows(tree, switches)) {
        tree->scrollTo(idx);
        // Unfolding the way to a child row is animated, and the view takes no
        // click until it is done; this waiting is outside the timing.
        WaitUntil([] { return false; }, 400);
        const QRect rect = tree->visualRect(idx);
        const std::string id = idx.data(Qt::UserRole + 1).toString().toStdString();
        if (id == window->CurrentTopicID() || rect.isEmpty())
            continue;
        const QString heading =
            HeadingOf(QString::fromStdString(window->Project().TopicHtmlPath(id)));
        const int before = echoes;
        QElapsedTimer t;
        t.start();
        Click(tree->viewport(), rect.center());
        const bool shown = WaitUntil(
            [&] {
                return echoes > before && window->CurrentTopicID() == id &&
                       (heading.isEmpty() || lastEcho.contains(heading));
            },
            10000);
        if (!shown) {
            std::fprintf(stderr, "topic %s was not shown within 10 s (current %s, %d echoes)\n",
                         id.c_str(), window->CurrentTopicID().c_str(), echoes - before);
            if (QWidget* modal = QApplication::activeModalWidget())
                std::fprintf(stderr, "a dialog is open: %s\n",
                             modal->windowTitle().toLocal8Bit().constData());
            return 1;
        }
        times.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    if (times.empty()) {
        std::fprintf(stderr, "no topic could be clicked\n");
        return 1;
    }
    std::printf("tree-usable-ms %.0f\neditor-ready-ms %.0f\n", treeUsable, editorReady);
    std::printf("switch-ms median %.1f min %.1f max %.1f n %zu\n", Median(times),
                *std::min_element(times.begin(), times.end()),
                *std::max_element(times.begin(), times.end()), times.size());
    std::fflush(stdout);
    // Quit without the save prompt: nothing the bench did is the author's.
    std::_Exit(0);
}
