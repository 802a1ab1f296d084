#include "contrast.h"

#include <algorithm>
#include <cmath>

namespace moonbite {
namespace {

double linear(double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

double relativeLuminance(const QColor& colour) {
    const QColor c = colour.toRgb();
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = relativeLuminance(a);
    const double lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor blackOrWhiteOn(const QColor& background) {
    return isDark(background) ? QColor(Qt::white) : QColor(Qt::black);
}

bool isDark(const QColor& background) {
    return contrastRatio(Qt::white, background) > contrastRatio(Qt::black, background);
}

QColor readableOn(const QColor& colour, const QColor& background, double minRatio) {
    if (contrastRatio(colour, background) >= minRatio) return colour;
    const bool lighten = isDark(background);
    const QColor hsl = colour.toHsl();
    const float hue = hsl.hslHueF();
    const float saturation = hsl.hslSaturationF();
    // Lightness in small steps: the first that reads is the one closest to
    // the colour the window asked for.
    for (int step = 1; step <= 255; ++step) {
        const float delta = static_cast<float>(step) / 255.0F;
        const float l = hsl.lightnessF() + (lighten ? delta : -delta);
        if (l < 0.0F || l > 1.0F) break;
        // Measured as it will be drawn: in whole 8-bit steps.
        const QColor candidate(QColor::fromHslF(hue, saturation, l).rgb());
        if (contrastRatio(candidate, background) >= minRatio) return candidate;
    }
    return lighten ? QColor(Qt::white) : QColor(Qt::black);
}

QPalette darkDesktopPalette() {
    const QColor window(0x35, 0x35, 0x35);
    const QColor base(0x2a, 0x2a, 0x2a);
    const QColor text(0xee, 0xee, 0xee);
    const QColor disabled(0x90, 0x90, 0x90);
    QPalette p;
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(0xa0, 0xa0, 0xa0));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::red);
    p.setColor(QPalette::Light, window.lighter(150));
    p.setColor(QPalette::Midlight, window.lighter(125));
    p.setColor(QPalette::Mid, window.darker(120));
    p.setColor(QPalette::Dark, window.darker(150));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Link, QColor(0x6c, 0xb4, 0xff));
    p.setColor(QPalette::LinkVisited, QColor(0xc0, 0x9c, 0xff));
    p.setColor(QPalette::Highlight, QColor(0x2a, 0x82, 0xda));
    p.setColor(QPalette::HighlightedText, Qt::white);
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Disabled, role, disabled);
    }
    return p;
}

}  // namespace moonbite
