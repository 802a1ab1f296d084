// Captions are not cut off with the desktop's own fonts: at 10 and 11 point
// of the default family, and bold, every caption, check box, radio button,
// push button, group-box title and fixed list item fits its control at the
// windows' design size.
#include <QFontMetrics>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <memory>

#include "about_box.h"
#include "calendar_print.h"
#include "journal_window.h"
#include "welcome_window.h"
#include "window_fixture.h"
#include "window_walk.h"

namespace moonbite::testing {
namespace {

struct DesktopFont {
    const char* name;
    double points;
    bool bold;
};

class FontScope {
  public:
    explicit FontScope(const DesktopFont& f) {
        QFont font = saved_;
        font.setPointSizeF(f.points);
        font.setBold(f.bold);
        QApplication::setFont(font);
    }
    ~FontScope() { QApplication::setFont(saved_); }
    FontScope(const FontScope&) = delete;
    FontScope& operator=(const FontScope&) = delete;

  private:
    QFont saved_ = QApplication::font();
};

QString withoutAccessKeys(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    return text.trimmed();
}

struct FitCheck {
    std::vector<std::string> failures;
    int checked = 0;

    void need(const QWidget* w, const QString& text, int needed, int room) {
        ++checked;
        if (needed > room) {
            failures.push_back(describe(w) + " \"" + text.toStdString() + "\" needs " +
                               std::to_string(needed) + " px, has " + std::to_string(room));
        }
    }

    void window(QWidget* root) {
        for (QWidget* w : root->findChildren<QWidget*>()) {
            if (w->window() != root->window()) continue;
            const QFontMetrics fm(w->font());
            if (auto* l = qobject_cast<QLabel*>(w)) {
                if (l->text().isEmpty()) continue;
                if (l->wordWrap()) {
                    // Wrapped text must fit its height instead.
                    ++checked;
                    const int h = l->heightForWidth(l->width());
                    if (h > l->height())
                        failures.push_back(describe(l) + " wraps to " + std::to_string(h) +
                                           " px, has " + std::to_string(l->height()));
                } else {
                    need(l, l->text(), l->sizeHint().width(), l->width());
                }
            } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
                auto* b = static_cast<QAbstractButton*>(w);
                need(b, b->text(), b->sizeHint().width(), b->width());
            } else if (auto* b = qobject_cast<QPushButton*>(w)) {
                if (b->text().isEmpty()) continue;
                // The style's room around a button's text (not its wish for
                // a wider button, which the design's small buttons ignore).
                const int margins =
                    b->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b) +
                    2 * b->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, b);
                const QString text = withoutAccessKeys(b->text());
                int needed = fm.horizontalAdvance(text) + margins;
                if (!b->icon().isNull()) needed += b->iconSize().width() + 4;
                need(b, text, needed, b->width());
            } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
                if (g->title().isEmpty()) continue;
                const QString text = withoutAccessKeys(g->title());
                need(g, text, fm.horizontalAdvance(text) + 6, g->width());
            } else if (auto* c = qobject_cast<QComboBox*>(w)) {
                // Editable lists (places, zones) hold the user's data and
                // scroll; the fixed ones are captions.
                if (c->isEditable()) continue;
                QStyleOptionComboBox opt;
                opt.initFrom(c);
                opt.editable = false;
                opt.frame = c->hasFrame();
                const QRect field = c->style()->subControlRect(QStyle::CC_ComboBox, &opt,
                                                               QStyle::SC_ComboBoxEditField, c);
                for (int i = 0; i < c->count(); ++i)
                    need(c, c->itemText(i), fm.horizontalAdvance(c->itemText(i)) + 2,
                         field.width());
            }
        }
    }

    [[nodiscard]] std::string report() const {
        std::string s;
        for (const std::string& f : failures)
            s += "  " + f + "\n";
        return s;
    }
};

class CaptionsFit : public WindowTest, public ::testing::WithParamInterface<DesktopFont> {};

TEST_P(CaptionsFit, EveryCaptionFitsAtDesignSize) {
    FontScope font(GetParam());
    storeSydney();
    Form1& w = open();
    w.mnualarm_Click();
    QApplication::processEvents();
    // At its design size, where the geometry below was drawn.
    ASSERT_EQ(w.centralWidget()->size(), QSize(1010, 636));

    Form2 welcome(nullptr);
    welcome.show();
    const JournalServices js = journalServices(w);
    Form3 journal(js);
    journal.show();
    PrintServices ps = printServices(w);
    ps.zoneText = [] { return QStringLiteral("10"); };
    ps.zoneName = [] { return QString(); };
    Form4 print(ps);
    print.Form_Load();
    print.show();
    frmAbout about;
    about.show();
    QApplication::processEvents();

    FitCheck c;
    for (QWidget* window : {static_cast<QWidget*>(&w), static_cast<QWidget*>(&welcome),
                            static_cast<QWidget*>(&journal), static_cast<QWidget*>(&print),
                            static_cast<QWidget*>(&about)}) {
        c.window(window);
    }
    EXPECT_GT(c.checked, 100);
    EXPECT_TRUE(c.failures.empty())
        << GetParam().name << " (" << QApplication::font().family().toStdString()
        << "): " << c.failures.size() << " of " << c.checked << " captions cut:\n"
        << c.report();
}

INSTANTIATE_TEST_SUITE_P(DesktopFonts, CaptionsFit,
                         ::testing::Values(DesktopFont{"ten_point", 10, false},
                                           DesktopFont{"eleven_point", 11, false},
                                           DesktopFont{"ten_point_bold", 10, true}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace moonbite::testing
