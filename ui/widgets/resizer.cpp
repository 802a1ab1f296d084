#include "resizer.h"

#include <QList>
#include <QSet>
#include <QStringView>
#include <QWidget>
#include <cmath>

namespace moonbite {
namespace {

// Every spinner gets this height whatever the window's size.
constexpr int kSpinnerTwips = 300;

int toTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

int toPixels(float twips) {
    return static_cast<int>(std::lround(static_cast<double>(twips) / kTwipsPerPixel));
}

// The controls the resizer places. Qt gives some of its own helper widgets names
// starting "qt_"; widgets that are windows of their own (menus, dialogs) or that
// a layout places (a main window's central widget and menu bar) are not ours to
// move either: moving them would fight the layout or the window manager.
bool isOurControl(const QWidget& control) {
    const QString name = control.objectName();
    if (name.isEmpty() || name.startsWith(QLatin1String("qt_"))) return false;
    if (control.isWindow()) return false;
    const QWidget* parent = control.parentWidget();
    return parent == nullptr || parent->layout() == nullptr;
}

float ratio(int current, int design) {
    // A window recorded with no size has nothing to scale from.
    if (design <= 0) return 1.0F;
    return static_cast<float>(current) / static_cast<float>(design);
}

}  // namespace

// ---------------------------------------------------------------------------
// rObjects

rObject* rObjects::Add(int oWidth, int oHeight, int oTop, int oLeft, const QString& sKey) {
    if (!sKey.isEmpty() && items_.contains(sKey)) return nullptr;

    rObject record;
    record.setOWidth(oWidth);
    record.setOTop(oTop);
    record.setOLeft(oLeft);
    // Text boxes keep the height their font gives them; Text200 is the one box that grows.
    if (QStringView(sKey).left(3) != QLatin1String("Tex") || sKey == QLatin1String("Text200")) {
        record.setOHeight(oHeight);
    }

    if (sKey.isEmpty()) {
        unkeyed_.push_back(record);
        return &unkeyed_.back();
    }
    return &*items_.insert(sKey, record);
}

bool rObjects::Exists(const QString& key) const {
    return items_.contains(key);
}

rObject* rObjects::Item(const QString& key) {
    if (QStringView(key).left(3) == QLatin1String("UpD")) scale_.spinnerFlag = true;
    if (QStringView(key).left(9) == QLatin1String("Pictures1")) scale_.pictureFlag = true;
    const auto it = items_.find(key);
    return it == items_.end() ? nullptr : &*it;
}

int rObjects::Count() const {
    return static_cast<int>(items_.size() + unkeyed_.size());
}

void rObjects::Remove(const QString& key) {
    items_.remove(key);
}

QStringList rObjects::keys() const {
    return items_.keys();
}

// ---------------------------------------------------------------------------
// Resizer

Resizer::Resizer(ScaleState& scale, QObject* parent)
    : QObject(parent), scale_(scale), records_(scale) {}

bool Resizer::RecordLayout(QWidget* srcContainer) {
    if (srcContainer == nullptr || !srcContainer->isWindow()) return false;

    designHeight_ = toTwips(srcContainer->height());
    designWidth_ = toTwips(srcContainer->width());
    if (scale_.designWidth <= 0) scale_.designWidth = designWidth_;
    const auto controls = srcContainer->findChildren<QWidget*>();
    for (const QWidget* control : controls) {
        if (!isOurControl(*control)) continue;
        const QString name = control->objectName();
        const QRect g = control->geometry();
        // A second control of the same name is left where it is; Add refuses it.
        records_.Add(toTwips(g.width()), toTwips(g.height()), toTwips(g.top()), toTwips(g.left()),
                     name);
    }
    recorded_ = true;
    return true;
}

bool Resizer::Resize(QWidget* srcContainer) {
    if ((!recorded_ && !RecordLayout(srcContainer)) || srcContainer == nullptr ||
        !srcContainer->isWindow()) {
        emit ResizeError(kNotAWindowError, QStringLiteral("RError: the container is not a window"));
        return false;
    }

    currentHeight_ = toTwips(srcContainer->height());
    currentWidth_ = toTwips(srcContainer->width());
    heightRatio_ = ratio(currentHeight_, designHeight_);
    widthRatio_ = ratio(currentWidth_, designWidth_);

    // Drawn items (the distance gauge, the moved date fields) sit beside controls
    // scaled by the width ratio, so this is the window's real scale in every state,
    // measured against the first design: a later Resizer records at the current
    // size and its own width ratio starts again at 1.
    scale_.horizontalScale = static_cast<double>(ratio(currentWidth_, scale_.designWidth));
    // While controls are being rearranged the window keeps the scale it had.
    if (scale_.layoutChange) scale_.horizontalScale = scale_.previousScale;
    scale_.previousScale = scale_.horizontalScale;

    const auto controls = srcContainer->findChildren<QWidget*>();
    QSet<QString> placed;
    placed.reserve(records_.Count());
    for (QWidget* control : controls) {
        const QString name = control->objectName();
        if (!isOurControl(*control) || !records_.Exists(name)) continue;
        // Only the first control of a name was recorded.
        if (placed.contains(name)) continue;
        placed.insert(name);

        // The flags belong to this control alone, whatever an earlier lookup left behind.
        scale_.spinnerFlag = false;
        scale_.pictureFlag = false;
        const rObject* rec = records_.Item(name);
        float height = 0;
        if (scale_.spinnerFlag) {
            scale_.spinnerFlag = false;
            height = kSpinnerTwips;
        } else if (rec->oHeight() == 0) {
            // Text boxes are recorded without a height; scaling 0 would make them vanish.
            height = static_cast<float>(toTwips(control->height()));
        } else {
            height = heightRatio_ * static_cast<float>(rec->oHeight());
        }

        float width = 0;
        if (scale_.pictureFlag) {
            // The moon pictures are drawn at their own size; they only move.
            scale_.pictureFlag = false;
            height = static_cast<float>(rec->oHeight());
            width = static_cast<float>(rec->oWidth());
        } else {
            width = widthRatio_ * static_cast<float>(rec->oWidth());
        }
        const float top = heightRatio_ * static_cast<float>(rec->oTop());
        const float left = widthRatio_ * static_cast<float>(rec->oLeft());

        control->setGeometry(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
    }
    return true;
}

}  // namespace moonbite
