#include "resizer.h"

#include <QCheckBox>
#include <QFont>
#include <QFontMetrics>
#include <QList>
#include <QMainWindow>
#include <QMargins>
#include <QProxyStyle>
#include <QRadioButton>
#include <QSet>
#include <QStringView>
#include <QVariant>
#include <QWidget>
#include <algorithm>
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

// What a control looks like at the window's design size, kept on the control:
// a window that moves its controls gets a new Resizer, which records their
// geometry at the size the window has then, but fonts, caption margins and the
// height of text boxes are always scaled from the design, so no rounding adds up
// over many resizes.
constexpr const char* kDesignFont = "moonbiteDesignFont";
constexpr const char* kDesignMargins = "moonbiteDesignMargins";
constexpr const char* kDesignHeight = "moonbiteDesignHeight";

void keepDesign(QWidget& control) {
    if (control.property(kDesignFont).isValid()) return;
    control.setProperty(kDesignFont, control.font());
    control.setProperty(kDesignMargins, QVariant::fromValue(control.contentsMargins()));
    control.setProperty(kDesignHeight, control.height());
}

QFont scaledFont(const QFont& design, double scale) {
    QFont font = design;
    if (design.pointSizeF() > 0) {
        font.setPointSizeF(design.pointSizeF() * scale);
    } else if (design.pixelSize() > 0) {
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(design.pixelSize() * scale))));
    }
    return font;
}

int scaledPixels(int pixels, double scale) {
    return static_cast<int>(std::lround(pixels * scale));
}

// Check boxes and option buttons draw their box at the style's own size, which
// does not follow the font: this style draws it at the window's font scale, so a
// shrunk box does not run into its text nor a grown one look lost beside it.
class IndicatorStyle : public QProxyStyle {
  public:
    double scale = 1;

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        const int base = QProxyStyle::pixelMetric(metric, option, widget);
        switch (metric) {
            case PM_IndicatorWidth:
            case PM_IndicatorHeight:
            case PM_ExclusiveIndicatorWidth:
            case PM_ExclusiveIndicatorHeight:
            case PM_CheckBoxLabelSpacing:
            case PM_RadioButtonLabelSpacing:
                return std::max(1, static_cast<int>(std::lround(base * scale)));
            default:
                return base;
        }
    }
};

void scaleIndicator(QWidget& control, double scale) {
    auto* style = dynamic_cast<IndicatorStyle*>(control.style());
    if (style == nullptr) {
        if (scale == 1) return;  // at the design size the style's own look
        style = new IndicatorStyle;
        style->setParent(&control);
        control.setStyle(style);
    }
    if (style->scale == scale) return;
    style->scale = scale;
    control.updateGeometry();
    control.update();
}

// The control's text at the window's font scale: its font, and the margins that
// keep a caption level with the text of the box beside it.
void scaleText(QWidget& control, double scale) {
    if (qobject_cast<QCheckBox*>(&control) != nullptr ||
        qobject_cast<QRadioButton*>(&control) != nullptr) {
        scaleIndicator(control, scale);
    }
    const QVariant designFont = control.property(kDesignFont);
    if (!designFont.isValid()) return;
    const QFont font = scaledFont(designFont.value<QFont>(), scale);
    if (control.font() != font) control.setFont(font);
    const QMargins m = control.property(kDesignMargins).value<QMargins>();
    if (!m.isNull()) {
        control.setContentsMargins(scaledPixels(m.left(), scale), scaledPixels(m.top(), scale),
                                   scaledPixels(m.right(), scale),
                                   scaledPixels(m.bottom(), scale));
    }
}

// The area the controls are laid out on: a main window's menu bar keeps its
// height, so its controls scale with the central widget, not the whole window
// (which would push the bottom row out of a shrunk window).
QSize scaledArea(const QWidget& window) {
    if (const auto* main = qobject_cast<const QMainWindow*>(&window)) {
        if (const QWidget* central = main->centralWidget()) return central->size();
    }
    return window.size();
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

    designHeight_ = toTwips(scaledArea(*srcContainer).height());
    designWidth_ = toTwips(scaledArea(*srcContainer).width());
    if (scale_.designWidth <= 0) scale_.designWidth = designWidth_;
    if (scale_.designHeight <= 0) scale_.designHeight = designHeight_;
    const auto controls = srcContainer->findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (!isOurControl(*control)) continue;
        keepDesign(*control);
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

    currentHeight_ = toTwips(scaledArea(*srcContainer).height());
    currentWidth_ = toTwips(scaledArea(*srcContainer).width());
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
    fontScale_ = std::min(static_cast<double>(ratio(currentWidth_, scale_.designWidth)),
                          static_cast<double>(ratio(currentHeight_, scale_.designHeight)));

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
        if (!scale_.pictureFlag) scaleText(*control, fontScale_);
        float height = 0;
        if (scale_.spinnerFlag) {
            scale_.spinnerFlag = false;
            // Beside its text box, whose height follows the font.
            height = static_cast<float>(kSpinnerTwips * fontScale_);
        } else if (rec->oHeight() == 0) {
            // Text boxes are recorded without a height (scaling 0 would make them
            // vanish): they keep their design height at the font's scale, so the box
            // fits its text at every size without stretching like the panels around it.
            const int design = control->property(kDesignHeight).toInt();
            int pixels = scaledPixels(design > 0 ? design : control->height(), fontScale_);
            if (fontScale_ > 1) {
                pixels = std::max(pixels, QFontMetrics(control->font()).height() + 2);
            }
            height = static_cast<float>(toTwips(pixels));
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
