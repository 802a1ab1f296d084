#include "day_glance.h"

#include <QDateTime>
#include <QEvent>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <limits>

#include "contrast.h"
#include "solunar_day.h"
#include "sun_altitude.h"

namespace moonbite {
namespace {

// The Sun's centre at a rise or set, and where civil twilight ends.
constexpr double kHorizon = -0.833;
constexpr double kCivilTwilight = -6.0;
// The sky is sampled this often; the crossings between samples are then
// found to the second.
constexpr Instant kSampleStep = 300;
// Every period lasts two hours and its Moon event lies at its middle.
constexpr Instant kPeriodLength = 2 * 3600;
constexpr Instant kHour = 3600;

Instant floorMod(Instant a, Instant b) {
    const Instant m = a % b;
    return m < 0 ? m + b : m;
}

DayGlance::Light lightOf(double altitude) {
    if (altitude >= kHorizon) return DayGlance::Light::Daylight;
    if (altitude >= kCivilTwilight) return DayGlance::Light::Twilight;
    return DayGlance::Light::Night;
}

QString lightWord(DayGlance::Light l) {
    switch (l) {
        case DayGlance::Light::Night:
            return QStringLiteral("night");
        case DayGlance::Light::Twilight:
            return QStringLiteral("twilight");
        case DayGlance::Light::Daylight:
            return QStringLiteral("daylight");
    }
    return {};
}

QString capitalised(QString text) {
    if (!text.isEmpty()) text[0] = text[0].toUpper();
    return text;
}

QString fromText(std::string_view v) {
    return QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size()));
}

// The minute of the day a box's "hh:mm AM" text shows, as the core writes it.
std::optional<int> boxMinute(std::string_view text, const ClockDesignators& d) {
    if (text.size() < 7 || text[2] != ':' || text[5] != ' ') return std::nullopt;
    for (std::size_t i : {0u, 1u, 3u, 4u})
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
    const int hour = (text[0] - '0') * 10 + (text[1] - '0');
    const int minute = (text[3] - '0') * 10 + (text[4] - '0');
    if (hour < 1 || hour > 12 || minute > 59) return std::nullopt;
    const std::string_view designator = text.substr(6);
    const bool am = designator == d.am.view();
    const bool pm = designator == d.pm.view();
    if (am == pm) return std::nullopt;
    return (hour % 12 + (pm ? 12 : 0)) * 60 + minute;
}

QColor blend(const QColor& a, const QColor& b, double t) {
    const auto mix = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
    return QColor(mix(a.red(), b.red()), mix(a.green(), b.green()), mix(a.blue(), b.blue()));
}

// A translucent colour as it comes out painted over an opaque one.
QColor over(const QColor& background, const QColor& translucent) {
    return blend(background, QColor(translucent.rgb()), translucent.alphaF());
}

// A colour that reaches the ratio on every one of the backgrounds. They are
// all on one side of it (all lighter, or all darker), so moving it further
// for one never undoes another.
QColor readableOnAll(QColor c, const std::vector<QColor>& backgrounds, double ratio) {
    for (int pass = 0; pass < 3; ++pass) {
        bool ok = true;
        for (const QColor& b : backgrounds) {
            if (contrastRatio(c, b) < ratio) {
                c = readableOn(c, b, ratio);
                ok = false;
            }
        }
        if (ok) break;
    }
    return c;
}

struct LabelPlacer {
    std::vector<QRectF> taken;
    QRectF bounds;
    // Takes the place when it is inside the strip and clear of the labels
    // placed before it (the more important ones).
    // gap: the room kept clear on either side, so neighbours do not touch.
    bool take(const QRectF& r, double gap) {
        if (!bounds.contains(r)) return false;
        const QRectF wide = r.adjusted(-gap, 0, gap, 0);
        for (const QRectF& t : taken)
            if (t.intersects(wide)) return false;
        taken.push_back(r);
        return true;
    }
};

}  // namespace

DayGlance::DayGlance(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("Day at a glance"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The "now" marker moves with the clock; once a minute is enough.
    minuteTimer_ = new QTimer(this);
    minuteTimer_->setInterval(60 * 1000);
    connect(minuteTimer_, &QTimer::timeout, this, [this] {
        if (hasDay_ && !now_) update();
    });
    minuteTimer_->start();
    clear();
}

DayGlance::~DayGlance() = default;

QSize DayGlance::sizeHint() const {
    return {800, 110};
}

QSize DayGlance::minimumSizeHint() const {
    return {300, 60};
}

void DayGlance::setNow(std::optional<tides::UnixSeconds> now) {
    now_ = now;
    update();
}

std::optional<tides::UnixSeconds> DayGlance::nowShown() const {
    if (now_) return now_;
    return QDateTime::currentSecsSinceEpoch();
}

void DayGlance::clear() {
    hasDay_ = false;
    segments_.clear();
    periods_.clear();
    moon_.clear();
    tides_.reset();
    station_.clear();
    offsets_.clear();
    description_ = QStringLiteral("No place chosen");
    setAccessibleDescription(description_);
    update();
}

Instant DayGlance::clockOffsetAt(Instant t) const {
    Instant offset = offsets_.empty() ? 0 : offsets_.front().second;
    for (const auto& [from, seconds] : offsets_) {
        if (from > t) break;
        offset = seconds;
    }
    return offset;
}

int DayGlance::minuteOfDay(Instant t) const {
    return static_cast<int>(floorMod(t + clockOffsetAt(t), kSecondsPerDay) / 60);
}

QString DayGlance::clockText(Instant t) const {
    Text out;
    formatClock(out, minuteOfDay(t), designators_);
    return fromText(out.view());
}

// "5:12a" where the designators start with a letter, else "5:12 午前".
QString DayGlance::shortClock(Instant t) const {
    const int m = minuteOfDay(t);
    const int h24 = m / 60;
    const QString designator = fromText(h24 < 12 ? designators_.am.view() : designators_.pm.view());
    if (designator.isEmpty() || designators_.am == designators_.pm)
        return QStringLiteral("%1:%2")
            .arg(h24, 2, 10, QLatin1Char('0'))
            .arg(m % 60, 2, 10, QLatin1Char('0'));
    int h12 = h24 % 12;
    if (h12 == 0) h12 = 12;
    const QString hm = QStringLiteral("%1:%2").arg(h12).arg(m % 60, 2, 10, QLatin1Char('0'));
    if (designator[0].isLetter() && designator[0].unicode() < 0x80)
        return hm + designator[0].toLower();
    return hm + QLatin1Char(' ') + designator;
}

QString DayGlance::hourLabel(int hour) const {
    const QString designator =
        fromText(hour < 12 ? designators_.am.view() : designators_.pm.view());
    if (designator.isEmpty() || designators_.am == designators_.pm)
        return QStringLiteral("%1:00").arg(hour, 2, 10, QLatin1Char('0'));
    int h12 = hour % 12;
    if (h12 == 0) h12 = 12;
    return QString::number(h12) + QLatin1Char(' ') + designator;
}

// The instant in the shown day whose clock reads the minute (the first, on
// the hour a clock going back shows twice).
std::optional<Instant> DayGlance::instantAtMinute(int minute) const {
    const Instant midnightReading = instantOf(date_);
    for (std::size_t i = 0; i < offsets_.size(); ++i) {
        const Instant from = offsets_[i].first;
        const Instant to =
            i + 1 < offsets_.size() ? offsets_[i + 1].first : std::numeric_limits<Instant>::max();
        const Instant t = midnightReading + Instant{minute} * 60 - offsets_[i].second;
        if (t >= from && t < to && t >= begin_ && t < end_) return t;
    }
    return std::nullopt;
}

double DayGlance::xOf(Instant t) const {
    const double span = static_cast<double>(std::max<Instant>(end_ - begin_, 1));
    return static_cast<double>(t - begin_) / span * width();
}

Instant DayGlance::instantAtX(double x) const {
    const double span = static_cast<double>(end_ - begin_);
    const double f = std::clamp(x / std::max(width(), 1), 0.0, 1.0);
    return begin_ + static_cast<Instant>(std::llround(f * span));
}

DayGlance::Light DayGlance::lightAt(Instant t) const {
    for (const Segment& seg : segments_)
        if (t >= seg.from && t < seg.to) return seg.light;
    return segments_.empty() ? Light::Night : segments_.back().light;
}

void DayGlance::setDay(const SolunarState& s, Date date, const tides::DayTides* tides,
                       const QString& stationName) {
    hasDay_ = true;
    latitude_ = s.latitude;
    longitude_ = s.longitude;
    date_ = date;
    designators_ = s.designators;
    const ClockDay day = clockDay(s, date);
    begin_ = day.begin;
    end_ = day.end;

    // The clock's offsets across the day, each change found to the second.
    offsets_.clear();
    const auto offsetAt = [&s](Instant t) { return clockReading(s, t) - t; };
    Instant last = offsetAt(begin_ - kHour);
    offsets_.emplace_back(begin_ - kHour, last);
    for (Instant t = begin_ - kHour + kSampleStep; t <= end_ + kHour; t += kSampleStep) {
        const Instant now = offsetAt(t);
        if (now == last) continue;
        Instant lo = t - kSampleStep;
        Instant hi = t;
        while (hi - lo > 1) {
            const Instant mid = lo + (hi - lo) / 2;
            (offsetAt(mid) == last ? lo : hi) = mid;
        }
        offsets_.emplace_back(hi, now);
        last = now;
    }

    findLight(s);

    // The periods the day's boxes show, where they start within the day.
    periods_.clear();
    moon_.clear();
    struct Box {
        const Text& text;
        Instant at;
        bool major;
        std::optional<MoonEvent> middle;  // the Moon event at the middle of the period
    };
    const Box boxes[] = {
        {s.Text4, s.Text4At, true, MoonEvent::Overhead},
        {s.Text5, s.Text5At, true, MoonEvent::Underfoot},
        {s.Text8, s.Text8At, false, std::nullopt},
        {s.Text7, s.Text7At, false, std::nullopt},
    };
    for (const Box& b : boxes) {
        if (b.at == kNoInstant || !boxMinute(b.text.view(), designators_)) continue;
        if (b.at < begin_ || b.at >= end_) continue;
        periods_.push_back({b.at, b.at + kPeriodLength, b.major});
        const Instant middle = b.at + kPeriodLength / 2;
        if (b.middle && middle < end_) moon_.push_back({middle, *b.middle});
    }
    std::sort(periods_.begin(), periods_.end(),
              [](const Period& a, const Period& b) { return a.from < b.from; });

    // Moonrise and moonset: the minor period around each starts an hour
    // before it, unless the box holds another day's; else the box's clock.
    const auto moonEvent = [&](const Text& box, Instant periodAt, MoonEvent e) {
        const std::optional<int> minute = boxMinute(box.view(), designators_);
        if (!minute) return;
        if (periodAt != kNoInstant) {
            const Instant at = periodAt + kPeriodLength / 2;
            if (at >= begin_ && at <= end_ && minuteOfDay(at) == *minute) {
                moon_.push_back({at, e});
                return;
            }
        }
        if (const std::optional<Instant> at = instantAtMinute(*minute)) moon_.push_back({*at, e});
    };
    moonEvent(s.Text21, s.Text8At, MoonEvent::Rise);
    moonEvent(s.Text39, s.Text7At, MoonEvent::Set);

    if (tides != nullptr)
        tides_ = *tides;
    else
        tides_.reset();
    station_ = stationName;

    describe(s);
    setAccessibleDescription(description_);
    update();
}

void DayGlance::findLight(const SolunarState& s) {
    const auto altitude = [this](Instant t) {
        return sunAltitudeDegrees(latitude_, longitude_, t);
    };
    // Every crossing of the two altitudes that part the sky, to the second.
    struct Crossing {
        Instant at;
        bool horizon;
    };
    std::vector<Crossing> crossings;
    Instant prevT = begin_;
    double prevA = altitude(prevT);
    while (prevT < end_) {
        const Instant t = std::min(prevT + kSampleStep, end_);
        const double a = altitude(t);
        for (const double level : {kCivilTwilight, kHorizon}) {
            if ((prevA < level) == (a < level)) continue;
            Instant lo = prevT;
            Instant hi = t;
            while (hi - lo > 1) {
                const Instant mid = lo + (hi - lo) / 2;
                ((altitude(mid) < level) == (prevA < level) ? lo : hi) = mid;
            }
            crossings.push_back({hi, level == kHorizon});
        }
        prevT = t;
        prevA = a;
    }
    std::sort(crossings.begin(), crossings.end(),
              [](const Crossing& a, const Crossing& b) { return a.at < b.at; });

    // At a sunrise or sunset the strip says what the day's boxes say: the
    // core's own instant and text when it lies this close.
    constexpr Instant kSameEvent = 15 * 60;
    std::vector<QString> texts(crossings.size());
    for (std::size_t i = 0; i < crossings.size(); ++i) {
        Crossing& c = crossings[i];
        const Instant rounded = (c.at + 30) / 60 * 60;
        texts[i] = clockText(rounded);
        if (!c.horizon) continue;
        for (const auto& [at, box] :
             {std::pair{s.Text2At, &s.Text2}, std::pair{s.Text32At, &s.Text32}}) {
            if (at == kNoInstant || std::llabs(at - c.at) > kSameEvent) continue;
            const Instant lo = i > 0 ? crossings[i - 1].at + 1 : begin_;
            const Instant hi = i + 1 < crossings.size() ? crossings[i + 1].at - 1 : end_;
            c.at = std::clamp(at, lo, hi);
            texts[i] = fromText(box->view());
        }
    }

    segments_.clear();
    Instant from = begin_;
    for (std::size_t i = 0; i <= crossings.size(); ++i) {
        const Instant to = i < crossings.size() ? crossings[i].at : end_;
        if (to <= from && i < crossings.size()) continue;
        const Light l = lightOf(altitude(from + (to - from) / 2));
        if (!segments_.empty() && segments_.back().light == l) {
            segments_.back().to = to;
            segments_.back().endText = i < crossings.size() ? texts[i] : QString();
        } else {
            segments_.push_back({from, to, l, i < crossings.size() ? texts[i] : QString()});
        }
        from = to;
    }
}

void DayGlance::describe(const SolunarState& s) {
    QString d;
    // The sky.
    if (segments_.size() == 1) {
        d = capitalised(lightWord(segments_.front().light)) + QStringLiteral(" all day.");
    } else {
        for (std::size_t i = 0; i < segments_.size(); ++i) {
            const Segment& seg = segments_[i];
            if (i + 1 == segments_.size()) {
                d += QStringLiteral("then ") + lightWord(seg.light) + QLatin1Char('.');
            } else {
                const QString part = lightWord(seg.light) + QStringLiteral(" until ") + seg.endText;
                d += (i == 0 ? capitalised(part) : part) + QStringLiteral(", ");
            }
        }
    }

    // The periods, by the boxes' own start texts.
    const auto periodList = [&](bool major) {
        QStringList spans;
        for (const Period& p : periods_) {
            if (p.major != major) continue;
            spans << clockText(p.from) + QStringLiteral(" to ") + clockText(p.to);
        }
        const QString kind = major ? QStringLiteral("major") : QStringLiteral("minor");
        if (spans.isEmpty()) return QStringLiteral("no ") + kind + QStringLiteral(" period");
        const QString joined =
            spans.size() == 1
                ? spans.front()
                : QStringList(spans.mid(0, spans.size() - 1)).join(QStringLiteral(", ")) +
                      QStringLiteral(" and ") + spans.back();
        return kind +
               (spans.size() == 1 ? QStringLiteral(" period ") : QStringLiteral(" periods ")) +
               joined;
    };
    d += QLatin1Char(' ') + capitalised(periodList(true)) + QStringLiteral("; ") +
         periodList(false) + QLatin1Char('.');

    // The Moon.
    const auto moonAt = [&](MoonEvent e) -> std::optional<Instant> {
        for (const MoonMark& m : moon_)
            if (m.event == e) return m.at;
        return std::nullopt;
    };
    QStringList moon;
    const auto riseOrSet = [&](const Text& box, MoonEvent e, const char* word) {
        const std::optional<Instant> at = moonAt(e);
        if (at)
            moon << QString::fromLatin1(word) + QLatin1Char(' ') + clockText(*at);
        else if (!box.view().empty() && !boxMinute(box.view(), designators_))
            moon << fromText(box.view()).trimmed();
    };
    if (s.Text21 == s.Text39 && !boxMinute(s.Text21.view(), designators_) &&
        !s.Text21.view().empty()) {
        // Neither rise nor set: both boxes say the Moon stays up (or down).
        moon << QStringLiteral("Moon ") + fromText(s.Text21.view()).trimmed().toLower();
    } else {
        riseOrSet(s.Text21, MoonEvent::Rise, "moonrise");
        riseOrSet(s.Text39, MoonEvent::Set, "moonset");
    }
    if (const auto at = moonAt(MoonEvent::Overhead))
        moon << QStringLiteral("Moon overhead ") + clockText(*at);
    if (const auto at = moonAt(MoonEvent::Underfoot))
        moon << QStringLiteral("Moon underfoot ") + clockText(*at);
    moon.removeAll(QString());
    if (!moon.isEmpty()) d += QLatin1Char(' ') + capitalised(moon.join(QStringLiteral(", "))) + '.';

    // The tides.
    if (tides_) {
        if (tides_->events.empty()) {
            d += QStringLiteral(" No tide predictions at ") + station_ +
                 QStringLiteral(" for this day.");
        } else {
            QStringList events;
            for (std::size_t i = 0; i < tides_->events.size(); ++i)
                events << QString::fromStdString(
                    tides::eventText(tides_->events[i], tides_->minutes[i], designators_));
            d += QStringLiteral(" Tides at ") + station_ +
                 (tides_->interpolated
                      ? QStringLiteral(" (the curve between highs and lows is estimated)")
                      : QString()) +
                 QStringLiteral(": ") + events.join(QStringLiteral(", ")) + QLatin1Char('.');
        }
    }
    description_ = d;
}

DayGlance::Colours DayGlance::colours() const {
    const QPalette& p = palette();
    Colours c;
    const QColor base = p.color(QPalette::Base);
    const QColor text = p.color(QPalette::Text);
    const QColor highlight = p.color(QPalette::Highlight);
    // Night is always the darker end: on a light desktop the day is the box
    // colour and night a grey towards the text; on a dark one night is the
    // box colour and the day lighter. Neither end goes so far that the text
    // colour stops reading on it.
    if (isDark(base)) {
        c.night = base;
        c.twilight = blend(base, text, 0.14);
        c.daylight = blend(base, text, 0.28);
    } else {
        c.daylight = base;
        c.twilight = blend(base, text, 0.2);
        c.night = blend(base, text, 0.4);
    }
    c.major = highlight;
    c.major.setAlphaF(0.38f);
    c.minor = highlight;
    c.minor.setAlphaF(0.22f);
    std::vector<QColor> grounds;
    for (const QColor& sky : {c.night, c.twilight, c.daylight}) {
        grounds.push_back(sky);
        grounds.push_back(over(sky, c.major));
        grounds.push_back(over(sky, c.minor));
    }
    c.text = readableOnAll(text, grounds, 4.5);
    c.moon = c.text;
    // The tide line in the highlight's opposite hue, so it stands apart from
    // the bands; 3:1 is what a line needs against what it crosses.
    const int hue = highlight.hslHue() < 0 ? 210 : highlight.hslHue();
    const QColor opposite = QColor::fromHsl(
        (hue + 180) % 360, std::max(highlight.hslSaturation(), 170), isDark(base) ? 170 : 90);
    c.curve = readableOnAll(opposite, grounds, 3.0);
    c.axisBackground = p.color(QPalette::Window);
    c.axisText = readableOn(p.color(QPalette::WindowText), c.axisBackground, 4.5);
    c.frame = readableOnAll(p.color(QPalette::Mid), {c.axisBackground}, 1.5);
    return c;
}

QString DayGlance::tipAt(double x) const {
    if (!hasDay_) return {};
    const Instant t = instantAtX(x);
    QString tip = clockText(t) + QStringLiteral(", ") + lightWord(lightAt(t));
    for (const Period& p : periods_) {
        if (t >= p.from && t < p.to) {
            tip += p.major ? QStringLiteral(", major period") : QStringLiteral(", minor period");
            break;
        }
    }
    if (tides_ && !tides_->curve.empty()) {
        const double h = tides::curveHeightAt(*tides_, t - kUnixEpochInstant);
        tip += QStringLiteral(", tide %1 m").arg(h, 0, 'f', 2);
    }
    return tip;
}

bool DayGlance::event(QEvent* e) {
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        // The middle of the pixel under the pointer.
        const QString tip = tipAt(help->pos().x() + 0.5);
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, this);
        return true;
    }
    return QWidget::event(e);
}

void DayGlance::changeEvent(QEvent* e) {
    if (e->type() == QEvent::PaletteChange || e->type() == QEvent::FontChange) update();
    QWidget::changeEvent(e);
}

void DayGlance::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const Colours c = colours();
    const QFontMetricsF fm(font());
    const double w = width();
    const double h = height();
    const double lineH = fm.height();
    // The hour scale takes a line of text and its ticks at the foot.
    const double tickLen = std::max(2.0, lineH / 3);
    const double axisH = std::min(h / 2, lineH + tickLen + 1);
    const double stripH = h - axisH;
    const QRectF strip(0, 0, w, stripH);

    painter.fillRect(rect(), c.axisBackground);
    if (!hasDay_) {
        painter.fillRect(strip, palette().color(QPalette::Base));
        painter.setPen(c.frame);
        painter.drawRect(strip.adjusted(0, 0, -1, -1));
        return;
    }

    // The sky. Each segment is filled from its rounded start to the next's,
    // so neighbours meet without a seam.
    for (const Segment& seg : segments_) {
        const double x0 = std::round(xOf(seg.from));
        const double x1 = std::round(xOf(seg.to));
        const QColor sky = seg.light == Light::Daylight   ? c.daylight
                           : seg.light == Light::Twilight ? c.twilight
                                                          : c.night;
        painter.fillRect(QRectF(x0, 0, x1 - x0, stripH), sky);
    }

    LabelPlacer labels;
    labels.bounds = strip;
    struct Pending {
        QRectF rect;
        QString text;
    };
    std::vector<Pending> texts;
    const double gap = std::max(2.0, fm.averageCharWidth() / 2);
    const auto label = [&](const QString& text, QPointF anchor, Qt::Alignment align) {
        const double tw = fm.horizontalAdvance(text) + 2;
        double x = anchor.x() - tw / 2;
        if (align & Qt::AlignLeft) x = anchor.x();
        if (align & Qt::AlignRight) x = anchor.x() - tw;
        x = std::clamp(x, 0.0, std::max(0.0, w - tw));
        double y = anchor.y() - lineH / 2;
        if (align & Qt::AlignTop) y = anchor.y();
        if (align & Qt::AlignBottom) y = anchor.y() - lineH;
        const QRectF r(x, y, tw, lineH);
        if (!labels.take(r, gap)) return false;
        texts.push_back({r, text});
        return true;
    };

    // The fishing periods: majors the full height, minors the lower part.
    const double minorTop = stripH * 0.45;
    for (const Period& p : periods_) {
        const double x0 = xOf(p.from);
        const double x1 = std::min(xOf(p.to), w);
        painter.fillRect(
            QRectF(x0, p.major ? 0 : minorTop, x1 - x0, stripH - (p.major ? 0 : minorTop)),
            p.major ? c.major : c.minor);
    }

    // The Moon, under the tide curve: a tick down from the top edge with a
    // small disc (its word comes with the other labels).
    painter.setRenderHint(QPainter::Antialiasing, true);
    const double disc = std::max(2.5, lineH * 0.22);
    for (const MoonMark& m : moon_) {
        const double x = xOf(m.at);
        QPen tick(c.moon, std::max(1.0, h / 110));
        tick.setStyle(Qt::DotLine);
        painter.setPen(tick);
        painter.drawLine(QPointF(x, 2 * disc + 1), QPointF(x, stripH));
        painter.setPen(QPen(c.moon, std::max(1.0, h / 110)));
        const QPointF centre(x, disc + 1);
        switch (m.event) {
            case MoonEvent::Overhead:
                painter.setBrush(c.moon);
                painter.drawEllipse(centre, disc, disc);
                break;
            case MoonEvent::Underfoot:
                painter.setBrush(Qt::NoBrush);
                painter.drawEllipse(centre, disc, disc);
                break;
            case MoonEvent::Rise:
            case MoonEvent::Set: {
                // Half a disc: the upper half rising, the lower setting.
                painter.setBrush(c.moon);
                const QRectF box(centre.x() - disc, centre.y() - disc, 2 * disc, 2 * disc);
                painter.drawChord(box, m.event == MoonEvent::Rise ? 0 : 180 * 16, 180 * 16);
                painter.setBrush(Qt::NoBrush);
                painter.drawEllipse(centre, disc, disc);
                break;
            }
        }
    }
    painter.setBrush(Qt::NoBrush);
    painter.setRenderHint(QPainter::Antialiasing, false);
    // No label over a disc.
    for (const MoonMark& m : moon_) {
        const double x = xOf(m.at);
        labels.taken.push_back(QRectF(x - disc - 1, 0, 2 * disc + 2, 2 * disc + 2));
    }

    // Now.
    if (const std::optional<tides::UnixSeconds> now = nowShown()) {
        const Instant t = *now + kUnixEpochInstant;
        if (t >= begin_ && t < end_) {
            const double x = std::round(xOf(t));
            painter.setPen(QPen(c.text, std::max(2.0, h / 60)));
            painter.drawLine(QPointF(x, 0), QPointF(x, stripH));
        }
    }

    // The tide curve between a line's height of room above and below, for
    // the labels of its highs and lows.
    if (tides_ && tides_->curve.size() >= 2) {
        double lo = tides_->curve.front().metres;
        double hi = lo;
        for (const tides::TideSample& sample : tides_->curve) {
            lo = std::min(lo, sample.metres);
            hi = std::max(hi, sample.metres);
        }
        const double range = std::max(hi - lo, 0.05);
        lo -= range * 0.06;
        hi += range * 0.06;
        const double r = std::max(2.5, lineH / 5);
        // A label and its mark's radius above the highest high and below the lowest low.
        double room = lineH + r + 2;
        if (stripH - 2 * room < stripH * 0.3) room = stripH * 0.35;
        const double top = room;
        const double bottom = stripH - room;
        const auto yOf = [&](double metres) {
            return top + (hi - metres) / (hi - lo) * (bottom - top);
        };
        const auto xAt = [&](tides::UnixSeconds u) { return xOf(u + kUnixEpochInstant); };

        QPainterPath path;
        bool first = true;
        for (const tides::TideSample& sample : tides_->curve) {
            const QPointF pt(xAt(sample.time), yOf(sample.metres));
            if (first)
                path.moveTo(pt);
            else
                path.lineTo(pt);
            first = false;
        }
        painter.setRenderHint(QPainter::Antialiasing, true);
        QPen pen(c.curve, std::max(2.0, h / 45));
        pen.setCapStyle(Qt::FlatCap);
        if (tides_->interpolated) pen.setStyle(Qt::DashLine);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.setClipRect(strip);
        painter.drawPath(path);

        painter.setPen(Qt::NoPen);
        painter.setBrush(c.curve);
        for (std::size_t i = 0; i < tides_->events.size(); ++i) {
            const tides::TideEvent& e = tides_->events[i];
            const QPointF pt(xAt(e.time), yOf(e.heightMetres));
            painter.drawEllipse(pt, r, r);
            const QString text = shortClock(e.time + kUnixEpochInstant) +
                                 QStringLiteral(" %1 m").arg(e.heightMetres, 0, 'f', 1);
            // Above a high, below a low: centred, else beside the mark.
            const double y = e.high ? pt.y() - r - 1 : pt.y() + r + 1;
            const Qt::Alignment side = e.high ? Qt::AlignBottom : Qt::AlignTop;
            if (!label(text, QPointF(pt.x(), y), side | Qt::AlignHCenter) &&
                !label(text, QPointF(pt.x() + r, y), side | Qt::AlignLeft))
                label(text, QPointF(pt.x() - r, y), side | Qt::AlignRight);
        }
        painter.setBrush(Qt::NoBrush);
        painter.setClipping(false);
        painter.setRenderHint(QPainter::Antialiasing, false);
    }

    // The Moon's words beside its discs, where the tide labels left room:
    // its rise and set before its transits.
    std::vector<MoonMark> byImportance = moon_;
    std::stable_sort(byImportance.begin(), byImportance.end(),
                     [](const MoonMark& a, const MoonMark& b) {
                         const auto rank = [](MoonEvent e) {
                             return e == MoonEvent::Rise || e == MoonEvent::Set ? 0 : 1;
                         };
                         return rank(a.event) < rank(b.event);
                     });
    for (const MoonMark& m : byImportance) {
        const double x = xOf(m.at);
        const QString word = m.event == MoonEvent::Rise       ? QStringLiteral("moonrise")
                             : m.event == MoonEvent::Set      ? QStringLiteral("moonset")
                             : m.event == MoonEvent::Overhead ? QStringLiteral("overhead")
                                                              : QStringLiteral("underfoot");
        if (!label(word, QPointF(x + disc + gap + 2, 0), Qt::AlignLeft | Qt::AlignTop))
            label(word, QPointF(x - disc - gap - 2, 0), Qt::AlignRight | Qt::AlignTop);
    }

    // The period words, at the foot of their bands.
    for (const Period& p : periods_) {
        const double x0 = xOf(p.from);
        const double x1 = std::min(xOf(p.to), w);
        const QString word = p.major ? QStringLiteral("Major") : QStringLiteral("Minor");
        if (fm.horizontalAdvance(word) + 4 > x1 - x0) continue;
        label(word, QPointF((x0 + x1) / 2, stripH - 1), Qt::AlignBottom | Qt::AlignHCenter);
    }

    painter.setPen(c.text);
    for (const Pending& t : texts)
        painter.drawText(t.rect, Qt::AlignCenter, t.text);

    painter.setPen(c.frame);
    painter.drawRect(strip.adjusted(0, 0, -1, -1));

    // The hour scale: a tick every hour and a label every three or six hours
    // by the clock, whichever leaves room between them.
    const double labelW =
        fm.horizontalAdvance(hourLabel(12)) + fm.horizontalAdvance(QStringLiteral("  "));
    const double hourW = w * kHour / static_cast<double>(end_ - begin_);
    int step = 3;
    if (labelW > 3 * hourW) step = 6;
    if (labelW > 6 * hourW) step = 12;
    painter.setPen(c.axisText);
    double lastRight = -1;
    // Whole clock hours: from the day's first midnight, one each hour, with
    // the offset in force at each (a half-hour change moves them).
    for (Instant t = begin_; t <= end_; t += kHour) {
        const Instant reading = t + clockOffsetAt(t);
        const Instant t0 = t - floorMod(reading, kHour);
        if (t0 < begin_) continue;
        const double x = std::min(std::round(xOf(t0)), w - 1);
        const int hour = static_cast<int>(floorMod(t0 + clockOffsetAt(t0), kSecondsPerDay) / kHour);
        const bool labelled = hour % step == 0 && t0 < end_;
        painter.drawLine(QPointF(x, stripH),
                         QPointF(x, stripH + (labelled ? tickLen : tickLen / 2)));
        if (!labelled) continue;
        const QString text = hourLabel(hour);
        const double tw = fm.horizontalAdvance(text);
        const double left = std::clamp(x - tw / 2, 0.0, w - tw);
        if (left <= lastRight) continue;
        painter.drawText(QRectF(left, stripH + tickLen, tw + 1, axisH - tickLen),
                         Qt::AlignHCenter | Qt::AlignTop, text);
        lastRight = left + tw + fm.horizontalAdvance(QLatin1Char(' '));
    }
}

}  // namespace moonbite
