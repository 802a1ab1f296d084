// Walks a window's text widgets for the colours they draw with and the
// backgrounds beneath, and its captions for the room they need.
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <QToolButton>
#include <string>
#include <vector>

#include "contrast.h"

namespace moonbite::testing {

/// Sets the application palette for a test and puts the old one back.
class PaletteScope {
  public:
    explicit PaletteScope(const QPalette& p) { set(p); }
    ~PaletteScope() { set(saved_); }
    PaletteScope(const PaletteScope&) = delete;
    PaletteScope& operator=(const PaletteScope&) = delete;
    static void set(const QPalette& p) {
        QApplication::setPalette(p);
        QApplication::processEvents();
    }

  private:
    QPalette saved_ = QApplication::palette();
};

inline QPalette lightPalette() {
    return QApplication::style()->standardPalette();
}

/// What a widget's text is drawn on: the nearest widget (itself first) that
/// fills its own background, else its window.
inline QColor backgroundOf(const QWidget* w, QPalette::ColorGroup group) {
    for (const QWidget* p = w; p != nullptr; p = p->parentWidget()) {
        if (p->autoFillBackground() || p->isWindow())
            return p->palette().color(group, p->backgroundRole());
    }
    return QApplication::palette().color(group, QPalette::Window);
}

inline std::string describe(const QWidget* w) {
    std::string s = w->metaObject()->className();
    s += " " + w->objectName().toStdString();
    for (const QWidget* p = w->parentWidget(); p != nullptr; p = p->parentWidget()) {
        if (p->isWindow()) {
            s += " in " + p->objectName().toStdString();
            break;
        }
    }
    return s;
}

/// Collects every text colour under its minimum contrast.
struct ContrastCheck {
    std::vector<std::string> failures;
    int checked = 0;

    void check(const std::string& what, const QColor& text, const QColor& background,
               double minimum = 4.5) {
        ++checked;
        const double r = contrastRatio(text, background);
        if (r < minimum) {
            failures.push_back(what + ": " + text.name().toStdString() + " on " +
                               background.name().toStdString() + " is " + std::to_string(r) + ":1");
        }
    }

    void pair(const QWidget* w, const std::string& what, QPalette::ColorRole fg,
              QPalette::ColorRole bg) {
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive})
            check(describe(w) + what, w->palette().color(g, fg), w->palette().color(g, bg));
    }
    void onBackground(const QWidget* w, const std::string& what, QPalette::ColorRole fg) {
        for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive})
            check(describe(w) + what, w->palette().color(g, fg), backgroundOf(w, g));
    }

    void label(const QLabel* l) {
        if (l->text().isEmpty()) return;
        onBackground(l, "", l->foregroundRole());
        if (l->text().contains(QLatin1String("<a"))) onBackground(l, " link", QPalette::Link);
        // Colours written into rich text win over the palette.
        static const QRegularExpression inlineColour(
            QStringLiteral("color\\s*:\\s*(#[0-9a-fA-F]{6})"));
        for (auto m = inlineColour.globalMatch(l->text()); m.hasNext();) {
            const QColor c(m.next().captured(1));
            for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive})
                check(describe(l) + " inline colour", c, backgroundOf(l, g));
        }
    }

    /// Every text widget of a window, shown or waiting to be shown, but not
    /// disabled ones (greyed text is exempt) nor other windows.
    void window(QWidget* root) {
        QList<QWidget*> all = root->findChildren<QWidget*>();
        all.prepend(root);
        for (QWidget* w : all) {
            if (w->window() != root->window() || !w->isEnabled()) continue;
            w->ensurePolished();
            if (auto* l = qobject_cast<QLabel*>(w)) {
                label(l);
            } else if (auto* b = qobject_cast<QPushButton*>(w)) {
                if (!b->text().isEmpty()) pair(b, "", QPalette::ButtonText, QPalette::Button);
            } else if (auto* t = qobject_cast<QToolButton*>(w)) {
                if (!t->text().isEmpty()) pair(t, "", QPalette::ButtonText, QPalette::Button);
            } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
                onBackground(w, "", w->foregroundRole());
            } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
                if (!g->title().isEmpty()) onBackground(g, " title", QPalette::WindowText);
            } else if (qobject_cast<QLineEdit*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
                       qobject_cast<QListWidget*>(w)) {
                pair(w, "", QPalette::Text, QPalette::Base);
            } else if (auto* c = qobject_cast<QComboBox*>(w)) {
                if (c->isEditable())
                    pair(c, "", QPalette::Text, QPalette::Base);
                else
                    pair(c, "", QPalette::ButtonText, QPalette::Button);
                pair(c->view(), " items", QPalette::Text, QPalette::Base);
            }
        }
    }

    /// A page as the browser draws it: each run of text in its own colour (the
    /// palette's text or link colour where the page sets none) on its cell's,
    /// block's or page's background; and the search marks.
    void page(const QTextBrowser* b, const std::string& name) {
        const QPalette p = b->palette();
        const QTextDocument* doc = b->document();
        const QBrush pageBrush = doc->rootFrame()->frameFormat().background();
        const QColor pageBg =
            pageBrush.style() != Qt::NoBrush ? pageBrush.color() : p.color(QPalette::Base);
        for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
            QColor blockBg = pageBg;
            if (block.blockFormat().background().style() != Qt::NoBrush)
                blockBg = block.blockFormat().background().color();
            QTextCursor at(block);
            if (QTextTable* table = at.currentTable()) {
                const QBrush cell = table->cellAt(at).format().background();
                if (cell.style() != Qt::NoBrush) blockBg = cell.color();
            }
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment f = it.fragment();
                if (!f.isValid() || f.text().trimmed().isEmpty()) continue;
                const QTextCharFormat fmt = f.charFormat();
                const QColor fg = fmt.foreground().style() != Qt::NoBrush
                                      ? fmt.foreground().color()
                                      : p.color(fmt.isAnchor() ? QPalette::Link : QPalette::Text);
                const QColor bg =
                    fmt.background().style() != Qt::NoBrush ? fmt.background().color() : blockBg;
                check(name + " \"" + f.text().left(30).toStdString() + "\"", fg, bg);
            }
        }
        for (const QTextEdit::ExtraSelection& mark : b->extraSelections()) {
            const QTextCharFormat under = mark.cursor.charFormat();
            const QColor fg =
                mark.format.foreground().style() != Qt::NoBrush
                    ? mark.format.foreground().color()
                    : (under.foreground().style() != Qt::NoBrush ? under.foreground().color()
                                                                 : p.color(QPalette::Text));
            check(name + " search mark \"" + mark.cursor.selectedText().toStdString() + "\"", fg,
                  mark.format.background().color());
        }
    }

    [[nodiscard]] std::string report() const {
        std::string s;
        for (const std::string& f : failures)
            s += "  " + f + "\n";
        return s;
    }
};

}  // namespace moonbite::testing
