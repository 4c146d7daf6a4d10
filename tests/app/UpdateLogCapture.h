#pragma once
// Keeps what the update check logs while it lives (the reasons it gives for
// asking nobody), and passes everything else on.
#include <QMutex>
#include <QMutexLocker>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace qm::test {

class TUpdateLogCapture {
public:
    TUpdateLogCapture() { FPrevious = qInstallMessageHandler(&Handler); }
    ~TUpdateLogCapture() {
        qInstallMessageHandler(FPrevious);
        QMutexLocker lock(&FMutex);
        FLines.clear();
    }
    TUpdateLogCapture(const TUpdateLogCapture&) = delete;
    TUpdateLogCapture& operator=(const TUpdateLogCapture&) = delete;

    [[nodiscard]] QString Text() const {
        QMutexLocker lock(&FMutex);
        return FLines.join(QLatin1Char('\n'));
    }

private:
    static void Handler(QtMsgType type, const QMessageLogContext& context, const QString& msg) {
        if (context.category != nullptr && qstrcmp(context.category, "quillmate.update") == 0) {
            QMutexLocker lock(&FMutex);
            FLines << msg;
        }
        if (FPrevious != nullptr)
            FPrevious(type, context, msg);
    }
    static inline QtMessageHandler FPrevious = nullptr;
    static inline QMutex FMutex;
    static inline QStringList FLines;
};

} // namespace qm::test
