#include "day_driver.h"

#include <algorithm>

namespace moonbite {
namespace {

void setCombo1(SolunarState& s, int index, DateControlHandlers* handlers) {
    s.Combo1 = index;
    if (handlers != nullptr) handlers->Combo1_Click(s);
}

void setText10(SolunarState& s, std::string_view text, DateControlHandlers* handlers) {
    if (s.Text10 == text) return;  // an unchanged box raises no change
    s.Text10 = text;
    if (handlers != nullptr) handlers->Text10_Change(s);
}

void setText10(SolunarState& s, double year, DateControlHandlers* handlers) {
    Text t;
    numberText(t, year);
    setText10(s, t.view(), handlers);
}

bool displayedDateBuilds(SolunarState& s) {
    buildDisplayedDateText(s);
    return parseDateText(s.displayedDateText).has_value();
}

Date displayedDate(const SolunarState& s) {
    return parseDateText(s.displayedDateText).value_or(s.computationDate);
}

void showClockChange(SolunarState& s, Date d) {
    const int change = clockChangeOn(s, d);
    s.LabelClockChange.visible = change != 0;
    s.LabelClockChange.caption = change > 0   ? "Clocks go forward"
                                 : change < 0 ? "Clocks go back"
                                              : "";
}

}  // namespace

void setDateControls(SolunarState& s, Date d) {
    const YearMonthDay ymd = d.ymd();
    s.Text1.clear();
    s.Text1.appendInt(ymd.day);
    s.Combo1 = ymd.month - 1;
    s.Text10.clear();
    s.Text10.appendInt(ymd.year);
}

void buildDisplayedDateText(SolunarState& s) {
    s.displayedDateText = s.Text1;
    s.displayedDateText.append(" ");
    s.displayedDateText.append(englishMonthName(s.Combo1 + 1));
    s.displayedDateText.append(" ");
    s.displayedDateText.append(s.Text10);
}

void applyYearLimits(SolunarState& s, DateControlHandlers* handlers) {
    if (Val(s.Text10) > 2200) setText10(s, "2200", handlers);
    if (Val(s.Text10) < 1901) setText10(s, "1901", handlers);
}

void rollDay(SolunarState& s, DateControlHandlers* handlers) {
    if (Val(s.Text1) == 0) {
        // The day went below 1: the last day of the previous month.
        if (s.Combo1 == 0) {
            s.Text1 = "31";
            if (Val(s.Text10) < 1901) setText10(s, "1901", handlers);
            setCombo1(s, 11, handlers);
            setText10(s, Val(s.Text10) - 1, handlers);
        } else if (s.Combo1 == 2) {
            setCombo1(s, 1, handlers);
            s.Text1 = isLeapYear(static_cast<int>(Val(s.Text10))) ? "29" : "28";
        } else {
            setCombo1(s, s.Combo1 - 1, handlers);
            s.Text1 = "31";
            if (!displayedDateBuilds(s)) s.Text1 = "30";
        }
    } else if (!displayedDateBuilds(s)) {
        // The day lies past the end of the month: day 1 of the next month.
        s.Text1 = "1";
        if (s.Combo1 == 11) {
            applyYearLimits(s, handlers);
            setCombo1(s, 0, handlers);
            setText10(s, Val(s.Text10) + 1, handlers);
        } else {
            setCombo1(s, s.Combo1 + 1, handlers);
        }
    }
}

std::string_view equinoxOrSolstice(int month, int day) {
    if (day != 21 && day != 22) return {};
    if (month == 3 || month == 9) return "Equinox";
    if (month == 6 || month == 12) return "Solstice";
    return {};
}

void weakday(SolunarState& s) {
    static constexpr std::string_view kNames[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                  "Thursday", "Friday", "Saturday"};
    if (s.myweekday >= 1 && s.myweekday <= 7) {
        s.Label10 = kNames[s.myweekday - 1];
    } else {
        s.Label10.clear();
    }
}

void showWeekday(SolunarState& s) {
    s.myweekday = static_cast<std::int16_t>(s.computationDate.weekday());
    weakday(s);
}

void graphRowLabel(FixedText<7>& out, Date d, bool monthFirst) {
    const YearMonthDay ymd = d.ymd();
    out.clear();
    out.appendInt(monthFirst ? ymd.month : ymd.day);
    out.append("/");
    out.appendInt(monthFirst ? ymd.day : ymd.month);
}

void fillGraphRows(SolunarState& s, Date start) {
    for (int i = 1; i <= s.graphRowCount; ++i) {
        s.computationDate = start + (i - 1);
        useZoneOf(s, s.computationDate);  // each day's prediction with that day's clocks
        calcmoon(s);
        GraphRow& row = s.graphRows[static_cast<std::size_t>(i - 1)];
        graphRowLabel(row.label, s.computationDate, s.dateOrderMonthFirst);
        row.value = s.predictionScore;
    }
}

namespace {

// "Equinox" or "Solstice" and the clock-change mark of the displayed day.
void showDayLabels(SolunarState& s, Date displayed) {
    const YearMonthDay ymd = displayed.ymd();
    const std::string_view season = equinoxOrSolstice(ymd.month, ymd.day);
    s.Label19.visible = !season.empty();
    if (!season.empty()) s.Label19.caption = season;
    showClockChange(s, displayed);
}

}  // namespace

void datechanged(SolunarState& s, DateControlHandlers* handlers) {
    applyYearLimits(s, handlers);
    rollDay(s, handlers);
    showDisplayedDay(s);
}

void showDisplayedDay(SolunarState& s) {
    // The chart holds at most kMaxGraphDays rows; the graph days box keeps to 2..60.
    s.graphRowCount = std::clamp<int>(s.plottedDayCount, 0, kMaxGraphDays);
    buildDisplayedDateText(s);
    const Date displayed = displayedDate(s);
    s.computationDate = displayed;

    s.Command7Visible = s.today != displayed;

    const YearMonthDay ymd = displayed.ymd();
    showDayLabels(s, displayed);

    showWeekday(s);
    fillGraphRows(s, displayed);
    useZoneOf(s, displayed);  // the graph left the zone of its last day

    if (s.Combo1 == 0) {
        // In January the table starts one year earlier.
        s.computationDate = Date::fromYmd(ymd.year - 1, ymd.month, ymd.day).value_or(displayed);
        calcmoontime(s);
    }

    s.computationDate = displayed;
    showMoonAndPrediction(s);

    s.computationDate = displayed;
    Sunriseset(s);
    s.computationDate = displayed;
    majorminor(s);
}

void showMoonAndPrediction(SolunarState& s) {
    s.computationDate = displayedDate(s);
    calcmoon(s);
    s.Image3 = s.moonPicture;
    if (s.textTipsShown) {
        s.Image5Tip = "Displayed date fishing prediction : ";
        s.Image5Tip.append(s.predictionWord);
    }
    s.Picture2BackColor = static_cast<std::int32_t>(Val(s.predictionColour));
    s.Text9.clear();
    s.Text9.appendInt(s.moonAge);
}

void activateDisplayedDay(SolunarState& s) {
    buildActivationPhaseTable(s);
    s.graphRowCount = std::clamp<int>(s.plottedDayCount, 0, kMaxGraphDays);
    const Date displayed = displayedDate(s);
    // The day's labels belong to the day shown, however it came on screen:
    // an equinox at start-up is marked as after a date change.
    showDayLabels(s, displayed);
    fillGraphRows(s, displayed);
    useZoneOf(s, displayed);
    showMoonAndPrediction(s);
    s.computationDate = displayed;
    Sunriseset(s);
    s.computationDate = displayed;
    lundist(s);
    majorminor(s);
}

void buildActivationPhaseTable(SolunarState& s) {
    buildDisplayedDateText(s);
    const Date displayed = displayedDate(s);
    useZoneOf(s, displayed);
    s.computationDate = displayed;
    calcmoontime(s);
    if (s.Combo1 == 0) {
        const YearMonthDay ymd = displayed.ymd();
        s.computationDate = Date::fromYmd(ymd.year - 1, ymd.month, ymd.day).value_or(displayed);
        calcmoontime(s);
        buildDisplayedDateText(s);
    }
}

void showLunarDistance(SolunarState& s) {
    s.computationDate = displayedDate(s);
    useZoneOf(s, s.computationDate);
    lundist(s);
}

void computeDisplayedDay(SolunarState& s) {
    buildActivationPhaseTable(s);
    showDisplayedDay(s);
    showLunarDistance(s);
}

}  // namespace moonbite
