#include "Icons.h"

#include <QFile>
#include <QGuiApplication>
#include <QIconEngine>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QSvgRenderer>

// Resources compiled into a static library are registered by hand, and
// Q_INIT_RESOURCE must stand outside any namespace.
static void RegisterIconResources() {
    Q_INIT_RESOURCE(icons);
}

namespace qm::app {

namespace {
// The foreground colour every icon is drawn in.
constexpr char kForeground[] = "#1f2937";

// Renders the recoloured drawing at whatever size and density Qt asks for,
// so the icons stay sharp on HiDPI screens without a pixmap per size.
class TSvgIconEngine final : public QIconEngine {
public:
    explicit TSvgIconEngine(QByteArray svg) : FSvg(std::move(svg)) {}
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
        QSvgRenderer renderer(FSvg);
        painter->save();
        if (mode == QIcon::Disabled)
            painter->setOpacity(0.35);
        renderer.render(painter, rect);
        painter->restore();
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        QPixmap pm(size * scale);
        pm.fill(Qt::transparent);
        {
            QPainter p(&pm);
            paint(&p, QRect(QPoint(0, 0), size * scale), mode, state);
        }
        pm.setDevicePixelRatio(scale);
        return pm;
    }
    QIconEngine* clone() const override { return new TSvgIconEngine(FSvg); }

private:
    QByteArray FSvg;
};
} // namespace

QIcon ThemedIcon(const QString& name, const QPalette& palette) {
    static const bool registered = (RegisterIconResources(), true);
    (void)registered;
    QFile f(QStringLiteral(":/icons/%1.svg").arg(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QByteArray svg = f.readAll();
    svg.replace(kForeground, palette.color(QPalette::WindowText).name().toLatin1());
    return QIcon(new TSvgIconEngine(std::move(svg)));
}

} // namespace qm::app
