#include "moon_pictures.h"

#include <QIconEngine>
#include <QImage>
#include <QMap>
#include <QPaintDevice>
#include <QPainter>
#include <QPixmapCache>
#include <QSvgRenderer>
#include <cmath>
#include <initializer_list>
#include <utility>

// The pictures live in a static library, whose resource initialiser the
// linker would drop; naming it here pulls it in. Q_INIT_RESOURCE cannot be
// used inside a namespace.
static void initMoonbiteArtResources() {
    Q_INIT_RESOURCE(images);
}

namespace moonbite {

namespace {

constexpr int kFirstPhase = 100;
constexpr int kLastPhase = 111;
// Far beyond any screen; stops a bad size from asking for gigabytes.
constexpr int kMaxDevicePixels = 8192;

// Matches the track drawn in gauge-scale.svg (x 24..276 of a 300 wide box).
constexpr qreal kGaugeNearX = 24.0 / 300.0;
constexpr qreal kGaugeFarX = 276.0 / 300.0;

void ensureResources() {
    static const bool loaded = [] {
        initMoonbiteArtResources();
        return true;
    }();
    (void)loaded;
}

QString imagePath(const char* name) {
    ensureResources();
    return QStringLiteral(":/images/") + QLatin1String(name);
}

// The main window redraws on every date change, so each rendering is kept in
// QPixmapCache under its file, size and ratio.
QPixmap renderSvg(const QString& path, int width, int height, qreal dpr,
                  Qt::AspectRatioMode aspect) {
    if (width <= 0 || height <= 0 || !std::isfinite(dpr) || dpr <= 0.0) return {};
    const double deviceW = std::round(width * dpr);
    const double deviceH = std::round(height * dpr);
    if (deviceW < 1.0 || deviceH < 1.0 || deviceW > kMaxDevicePixels ||
        deviceH > kMaxDevicePixels) {
        return {};
    }
    const QString key = QStringLiteral("moonbite-art|%1|%2x%3|%4")
                            .arg(path)
                            .arg(width)
                            .arg(height)
                            .arg(dpr, 0, 'g', 8);
    QPixmap cached;
    if (QPixmapCache::find(key, &cached)) return cached;

    QSvgRenderer renderer(path);
    if (!renderer.isValid()) return {};
    renderer.setAspectRatioMode(aspect);
    QImage image(static_cast<int>(deviceW), static_cast<int>(deviceH),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        renderer.render(&painter, QRectF(0, 0, deviceW, deviceH));
    }
    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    pixmap.setDevicePixelRatio(dpr);
    QPixmapCache::insert(key, pixmap);
    return pixmap;
}

// Greyed and faded, for icons shown on disabled controls.
QPixmap disabledPixmap(const QPixmap& normal) {
    QImage image = normal.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = 96 + qGray(line[x]) / 2;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]) / 2);
        }
    }
    QPixmap pixmap = QPixmap::fromImage(std::move(image));
    pixmap.setDevicePixelRatio(normal.devicePixelRatio());
    return pixmap;
}

// An icon drawn from one of our SVG files at whatever size is asked, with
// some sizes rendered up front. Qt's own SVG icon engine keeps only one added
// pixmap per mode and reports no sizes, which desktops want for the window
// icon; this one also needs no icon-engine plugin at run time.
class SvgIconEngine final : public QIconEngine {
  public:
    SvgIconEngine(QString path, std::initializer_list<int> readySizes) : path_(std::move(path)) {
        for (const int size : readySizes) {
            const QPixmap pixmap = renderSvg(path_, size, size, 1.0, Qt::KeepAspectRatio);
            if (!pixmap.isNull()) ready_.insert(size, pixmap);
        }
    }

    QIconEngine* clone() const override { return new SvgIconEngine(*this); }
    QString key() const override { return QStringLiteral("moonbite-svg"); }
    bool isNull() override { return false; }

    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        QList<QSize> sizes;
        for (const int size : ready_.keys())
            sizes.append(QSize(size, size));
        return sizes;
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        QPixmap normal;
        if (size.width() == size.height() && ready_.contains(size.width())) {
            normal = ready_.value(size.width());
        } else {
            normal = renderSvg(path_, size.width(), size.height(), 1.0, Qt::KeepAspectRatio);
        }
        if (normal.isNull() || mode != QIcon::Disabled) return normal;
        const QString key = QStringLiteral("moonbite-art-disabled|%1").arg(normal.cacheKey());
        QPixmap disabled;
        if (!QPixmapCache::find(key, &disabled)) {
            disabled = disabledPixmap(normal);
            QPixmapCache::insert(key, disabled);
        }
        return disabled;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal dpr = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        QPixmap drawn = pixmap(rect.size() * dpr, mode, state);
        drawn.setDevicePixelRatio(dpr);
        painter->drawPixmap(rect, drawn);
    }

  private:
    QString path_;
    QMap<int, QPixmap> ready_;
};

}  // namespace

QString moonPhaseResource(int number) {
    if (number < kFirstPhase || number > kLastPhase) return {};
    ensureResources();
    return QStringLiteral(":/images/moon-%1.svg").arg(number);
}

QIcon moonPhaseIcon(int number) {
    const QString path = moonPhaseResource(number);
    if (path.isEmpty()) return {};
    return QIcon(new SvgIconEngine(path, {}));
}

QPixmap moonPhasePixmap(int number, int size, qreal devicePixelRatio) {
    const QString path = moonPhaseResource(number);
    if (path.isEmpty()) return {};
    return renderSvg(path, size, size, devicePixelRatio, Qt::KeepAspectRatio);
}

QPixmap predictionPicture(int width, int height, qreal devicePixelRatio) {
    return renderSvg(imagePath("prediction-fish.svg"), width, height, devicePixelRatio,
                     Qt::KeepAspectRatio);
}

QPixmap gaugeScale(int width, int height, qreal devicePixelRatio) {
    return renderSvg(imagePath("gauge-scale.svg"), width, height, devicePixelRatio,
                     Qt::IgnoreAspectRatio);
}

QPixmap gaugeMarker(int width, int height, qreal devicePixelRatio) {
    return renderSvg(imagePath("gauge-marker.svg"), width, height, devicePixelRatio,
                     Qt::KeepAspectRatio);
}

GaugeTrackSpan gaugeTrackSpan() {
    return {kGaugeNearX, kGaugeFarX};
}

QIcon appIcon() {
    // Ready-made renderings for the sizes desktops ask for; any other size is
    // drawn from the SVG when asked.
    return QIcon(new SvgIconEngine(imagePath("app-icon.svg"), {16, 22, 24, 32, 48, 64, 128, 256}));
}

}  // namespace moonbite
