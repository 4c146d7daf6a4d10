#include "PublishRunner.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressDialog>

#include <exception>
#include <thread>

namespace qm::app {

void RunWithProgress(QWidget* parent, const std::string& title,
                     const std::function<void(TJobContext&)>& job) {
    TJobContext ctx;
    std::exception_ptr error;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        try {
            job(ctx);
        } catch (...) {
            error = std::current_exception();
        }
        finished = true;
    });

    QProgressDialog dlg(QString::fromStdString(title), QObject::tr("Cancel"), 0, 0, parent);
    dlg.setWindowModality(Qt::WindowModal);
    dlg.setMinimumDuration(300);
    dlg.setAutoClose(false);
    dlg.setAutoReset(false);
    QObject::connect(&dlg, &QProgressDialog::canceled, [&ctx] { ctx.Cancel.Cancel(); });
    while (!finished) {
        const size_t total = ctx.Total;
        if (total > 0) {
            dlg.setMaximum(static_cast<int>(total));
            dlg.setValue(static_cast<int>(ctx.Done.load()));
        }
        QApplication::processEvents(QEventLoop::AllEvents, 30);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    worker.join();
    dlg.close();
    if (error)
        std::rethrow_exception(error);
}

} // namespace qm::app
