#include "tide_prediction.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>
#include <sstream>

namespace moonbite::tides {
namespace {

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
// Half the span over which one year's constants give way to the next's.
constexpr UnixSeconds kBlendHalf = 12 * 3600;
// The slope is looked at every 10 minutes: tides turn hours apart, and even
// the double highs of shallow water are further apart than two steps.
constexpr UnixSeconds kStep = 600;
// The exact phases are worked out afresh once a day, so the rotation by
// steps never drifts.
constexpr int kStepsPerReseed = 144;

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2 ? 1 : 0;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

/// One reference station's constants for one year.
struct YearTerms {
    int year = 0;
    UnixSeconds start = 0;
    double meanLevel = 0;
    std::vector<double> amplitude;  // f * A, metres
    std::vector<double> omega;      // radians per second
    std::vector<double> phase;      // radians at the year's start

    [[nodiscard]] double height(UnixSeconds t) const {
        const auto dt = static_cast<double>(t - start);
        double h = meanLevel;
        for (std::size_t i = 0; i < amplitude.size(); ++i)
            h += amplitude[i] * std::cos(omega[i] * dt + phase[i]);
        return h;
    }
    [[nodiscard]] double slope(UnixSeconds t) const {
        const auto dt = static_cast<double>(t - start);
        double s = 0;
        for (std::size_t i = 0; i < amplitude.size(); ++i)
            s -= amplitude[i] * omega[i] * std::sin(omega[i] * dt + phase[i]);
        return s;
    }
};

YearTerms termsFor(const TideDatabase& db, const TideStation& station, int year) {
    YearTerms y;
    y.year = year;
    y.start = yearStart(year);
    y.meanLevel = station.meanLevelMetres;
    const auto k = static_cast<std::size_t>(year - db.firstYear);
    for (const StationTerm& term : station.terms) {
        const Constituent& c = db.constituents[static_cast<std::size_t>(term.constituent)];
        y.amplitude.push_back(c.nodeFactor[k] * term.amplitudeMetres);
        y.omega.push_back(c.speedDegreesPerHour * kRadiansPerDegree / 3600.0);
        y.phase.push_back((c.equilibriumDegrees[k] - term.epochDegrees) * kRadiansPerDegree);
    }
    return y;
}

/// A reference station's curve, keeping the constants of the years it was
/// asked about.
class Curve {
  public:
    Curve(const TideDatabase& db, const TideStation& station) : db_(db), station_(station) {}

    [[nodiscard]] bool covers(UnixSeconds t) const { return predicts(db_, t); }

    /// The year's constants, or the blend of two years' near New Year:
    /// value(t) for either height or slope.
    template <typename Value>
    double blended(UnixSeconds t, Value value) {
        const int y = yearOf(t);
        // Just past the file's last year (or before its first): that year's
        // constants carried on, which the slow node factors allow for days.
        if (!db_.coversYear(y)) {
            const int edge = std::clamp(y, db_.firstYear, db_.firstYear + db_.yearCount - 1);
            return value(year(edge), t, 0.0);
        }
        const YearTerms& here = year(y);
        const UnixSeconds next = yearStart(y + 1);
        if (t - here.start < kBlendHalf && db_.coversYear(y - 1))
            return mix(year(y - 1), here, here.start, t, value);
        if (next - t < kBlendHalf && db_.coversYear(y + 1))
            return mix(here, year(y + 1), next, t, value);
        return value(here, t, 0.0);
    }

    double height(UnixSeconds t) {
        return blended(t, [](const YearTerms& y, UnixSeconds at, double) { return y.height(at); });
    }
    double slope(UnixSeconds t) {
        return blended(t, [](const YearTerms& y, UnixSeconds at, double) { return y.slope(at); });
    }
    /// True when t lies where two years are blended.
    [[nodiscard]] bool inBlend(UnixSeconds t) const {
        const int y = yearOf(t);
        return t - yearStart(y) < kBlendHalf || yearStart(y + 1) - t < kBlendHalf;
    }

    /// A year's constants; a year beyond the file's (up to predicts()'s few
    /// days) has its edge year's.
    const YearTerms& year(int y) {
        y = std::clamp(y, db_.firstYear, db_.firstYear + db_.yearCount - 1);
        auto it = years_.find(y);
        if (it == years_.end()) it = years_.emplace(y, termsFor(db_, station_, y)).first;
        return it->second;
    }

  private:
    template <typename Value>
    double mix(const YearTerms& before, const YearTerms& after, UnixSeconds boundary,
               UnixSeconds t, Value value) {
        const double w = static_cast<double>(t - (boundary - kBlendHalf)) /
                         static_cast<double>(2 * kBlendHalf);
        return (1 - w) * value(before, t, w) + w * value(after, t, w);
    }

    const TideDatabase& db_;
    const TideStation& station_;
    std::map<int, YearTerms> years_;
};

/// The slope every kStep from `from`, by rotating each constituent's phasor
/// one step at a time (cheap) and starting again from exact phases each day.
class SlopeWalk {
  public:
    explicit SlopeWalk(Curve& curve) : curve_(curve) {}

    double at(UnixSeconds t) {
        // Near New Year the blend needs both years: worked out directly.
        if (curve_.inBlend(t)) {
            valid_ = false;
            return curve_.slope(t);
        }
        const int y = yearOf(t);
        if (!valid_ || y != year_ || t != next_ || steps_ >= kStepsPerReseed) seed(y, t);
        const YearTerms& terms = *terms_;
        double s = 0;
        for (std::size_t i = 0; i < c_.size(); ++i) {
            s -= terms.amplitude[i] * terms.omega[i] * s_[i];
            // Advance by one step: (c + i s) * (cr + i sr).
            const double c = c_[i] * cr_[i] - s_[i] * sr_[i];
            s_[i] = s_[i] * cr_[i] + c_[i] * sr_[i];
            c_[i] = c;
        }
        next_ = t + kStep;
        ++steps_;
        return s;
    }

  private:
    void seed(int y, UnixSeconds t) {
        terms_ = &curve_.year(y);
        year_ = y;
        const std::size_t n = terms_->amplitude.size();
        c_.resize(n);
        s_.resize(n);
        cr_.resize(n);
        sr_.resize(n);
        const auto dt = static_cast<double>(t - terms_->start);
        for (std::size_t i = 0; i < n; ++i) {
            const double arg = terms_->omega[i] * dt + terms_->phase[i];
            c_[i] = std::cos(arg);
            s_[i] = std::sin(arg);
            cr_[i] = std::cos(terms_->omega[i] * static_cast<double>(kStep));
            sr_[i] = std::sin(terms_->omega[i] * static_cast<double>(kStep));
        }
        steps_ = 0;
        valid_ = true;
    }

    Curve& curve_;
    const YearTerms* terms_ = nullptr;
    int year_ = 0;
    UnixSeconds next_ = 0;
    int steps_ = 0;
    bool valid_ = false;
    std::vector<double> c_, s_, cr_, sr_;
};

std::vector<TideEvent> referenceEvents(const TideDatabase& db, const TideStation& station,
                                       UnixSeconds from, UnixSeconds to) {
    std::vector<TideEvent> events;
    Curve curve(db, station);
    // A turn just before `from` may round to a minute inside the span.
    const UnixSeconds first = from - kStep;
    if (!curve.covers(first) || !curve.covers(to + kStep)) return events;
    SlopeWalk walk(curve);
    double before = walk.at(first);
    for (UnixSeconds t = first + kStep; t <= to + kStep; t += kStep) {
        const double now = walk.at(t);
        const bool high = before > 0 && now <= 0;
        const bool low = before < 0 && now >= 0;
        if (high || low) {
            // The turning point, by halving the step until it is within a second.
            UnixSeconds a = t - kStep;
            UnixSeconds b = t;
            while (b - a > 1) {
                const UnixSeconds m = a + (b - a) / 2;
                const double s = curve.slope(m);
                if ((s > 0) == high) a = m; else b = m;
            }
            const UnixSeconds turn = a;
            const UnixSeconds minute = floorDiv(turn + 30, 60) * 60;
            if (minute >= from && minute < to)
                events.push_back({minute, high, curve.height(turn)});
        }
        before = now;
    }
    return events;
}

std::string folded(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        out += c < 0x80 ? static_cast<char>(std::tolower(c)) : ch;
    }
    return out;
}

}  // namespace

bool predicts(const TideDatabase& db, UnixSeconds t) {
    if (db.yearCount <= 0) return false;
    constexpr UnixSeconds kEdge = 3 * 86400;
    return t >= yearStart(db.firstYear) - kEdge &&
           t < yearStart(db.firstYear + db.yearCount) + kEdge;
}

UnixSeconds yearStart(int year) {
    return daysFromCivil(year, 1, 1) * 86400;
}

int yearOf(UnixSeconds t) {
    const std::int64_t days = floorDiv(t, 86400);
    // Civil year from days (the inverse of daysFromCivil).
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return static_cast<int>(y + (m <= 2 ? 1 : 0));
}

double heightAt(const TideDatabase& db, const TideStation& reference, UnixSeconds t) {
    if (!reference.reference || !predicts(db, t)) return std::numeric_limits<double>::quiet_NaN();
    Curve curve(db, reference);
    return curve.height(t);
}

std::vector<TideEvent> tideEvents(const TideDatabase& db, const TideStation& station,
                                  UnixSeconds from, UnixSeconds to) {
    if (to <= from) return {};
    if (station.reference) return referenceEvents(db, station, from, to);
    if (station.referenceStation < 0) return {};
    const TideStation& ref = db.stations[static_cast<std::size_t>(station.referenceStation)];
    const Offsets& o = station.offsets;
    // The offsets move events by hours at most: look a day either side.
    const UnixSeconds margin = 86400;
    std::vector<TideEvent> events;
    for (const TideEvent& e : referenceEvents(db, ref, from - margin, to + margin)) {
        TideEvent moved = e;
        moved.time += 60LL * (e.high ? o.highMinutes : o.lowMinutes);
        moved.heightMetres = e.high ? e.heightMetres * o.highFactor + o.highAddMetres
                                    : e.heightMetres * o.lowFactor + o.lowAddMetres;
        if (moved.time >= from && moved.time < to) events.push_back(moved);
    }
    std::stable_sort(events.begin(), events.end(),
                     [](const TideEvent& a, const TideEvent& b) { return a.time < b.time; });
    return events;
}

bool rising(const TideDatabase& db, const TideStation& station, UnixSeconds t) {
    if (station.reference) {
        if (!predicts(db, t)) return false;
        Curve curve(db, station);
        return curve.slope(t) > 0;
    }
    const std::vector<TideEvent> next = tideEvents(db, station, t, t + 2 * 86400);
    return !next.empty() && next.front().high;
}

double distanceKm(double lat1, double lon1, double lat2, double lon2) {
    const double p1 = lat1 * kRadiansPerDegree;
    const double p2 = lat2 * kRadiansPerDegree;
    const double dp = p2 - p1;
    const double dl = (lon2 - lon1) * kRadiansPerDegree;
    const double a = std::sin(dp / 2) * std::sin(dp / 2) +
                     std::cos(p1) * std::cos(p2) * std::sin(dl / 2) * std::sin(dl / 2);
    return 2 * 6371.0 * std::asin(std::min(1.0, std::sqrt(a)));
}

NearStation nearestStation(const TideDatabase& db, double latitude, double longitude,
                           double maxKm) {
    NearStation best;
    best.distanceKm = std::numeric_limits<double>::infinity();
    for (std::size_t i = 0; i < db.stations.size(); ++i) {
        const TideStation& s = db.stations[i];
        const double d = distanceKm(latitude, longitude, s.latitude, s.longitude);
        // At one place a reference station is preferred to its subordinate copy.
        if (d < best.distanceKm - 1e-9 ||
            (std::abs(d - best.distanceKm) <= 1e-9 && s.reference && best.index >= 0 &&
             !db.stations[static_cast<std::size_t>(best.index)].reference)) {
            best.index = static_cast<int>(i);
            best.distanceKm = d;
        }
    }
    if (best.index < 0 || best.distanceKm > maxKm) return {-1, best.distanceKm};
    return best;
}

std::vector<int> findStations(const TideDatabase& db, const std::string& query,
                              std::size_t limit) {
    std::vector<std::string> words;
    std::istringstream in(folded(query));
    for (std::string w; in >> w;)
        words.push_back(w);
    std::vector<int> found;
    if (words.empty()) return found;
    for (std::size_t i = 0; i < db.stations.size(); ++i) {
        const TideStation& s = db.stations[i];
        bool match = s.id == query;
        if (!match) {
            const std::string name = folded(s.name);
            match = std::all_of(words.begin(), words.end(), [&name](const std::string& w) {
                return name.find(w) != std::string::npos;
            });
        }
        if (match) found.push_back(static_cast<int>(i));
    }
    // The query as one phrase in the name ranks first ("key west" before
    // "Lignumvitae Key, west side"), then reference stations, then by name.
    std::string phrase;
    for (const std::string& w : words)
        phrase += (phrase.empty() ? "" : " ") + w;
    auto rank = [&db, &phrase](int i) {
        const TideStation& s = db.stations[static_cast<std::size_t>(i)];
        return (folded(s.name).find(phrase) != std::string::npos ? 0 : 2) + (s.reference ? 0 : 1);
    };
    std::stable_sort(found.begin(), found.end(), [&db, &rank](int a, int b) {
        const int ra = rank(a);
        const int rb = rank(b);
        if (ra != rb) return ra < rb;
        return db.stations[static_cast<std::size_t>(a)].name <
               db.stations[static_cast<std::size_t>(b)].name;
    });
    if (found.size() > limit) found.resize(limit);
    return found;
}

}  // namespace moonbite::tides
