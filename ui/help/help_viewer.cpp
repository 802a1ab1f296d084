#include "help_viewer.h"

#include <QApplication>
#include <QColor>
#include <QEvent>
#include <QFile>
#include <QFontInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QRegularExpression>
#include <QResizeEvent>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

#include "contrast.h"
#include "window_fit.h"

// The pages are compiled into this library; a static library's resources are
// registered by hand. Q_INIT_RESOURCE declares a global function, so it must
// be used outside the namespace.
static void initHelpResources() {
    static const bool done = [] {
        Q_INIT_RESOURCE(help);
        return true;
    }();
    (void)done;
}

namespace moonbite {
namespace {

const QString kResourceFolder = QStringLiteral(":/help/");
const QString kIndexPage = QStringLiteral("index.html");
// More marks than this in one page are not drawn; the list still filters.
constexpr int kMaxMarks = 400;

QUrl pageUrl(const QString& file) {
    return QUrl(QStringLiteral("qrc:/help/") + file);
}

// The words of a search, in lower case; empty when the box holds only spaces.
QStringList searchWords(const QString& text) {
    return text.toLower().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
}

struct Page {
    QString file;
    QString title;
    QString text;  // title and plain text, in lower case, for the search
};

Page loadPage(const QString& file) {
    Page page;
    page.file = file;
    QFile f(kResourceFolder + file);
    if (!f.open(QIODevice::ReadOnly)) return page;
    QTextDocument doc;
    doc.setBaseUrl(pageUrl(file));
    doc.setHtml(QString::fromUtf8(f.readAll()));
    page.title = doc.metaInformation(QTextDocument::DocumentTitle).trimmed();
    page.text = (page.title + QLatin1Char('\n') + doc.toPlainText()).toLower();
    return page;
}

QColor mixed(const QColor& a, const QColor& b, float share) {
    QColor m;
    m.setRgbF(a.redF() + (b.redF() - a.redF()) * share,
              a.greenF() + (b.greenF() - a.greenF()) * share,
              a.blueF() + (b.blueF() - a.blueF()) * share);
    return QColor(m.rgb());
}

// The pages' colours, from the desktop's palette: the style sheet file holds
// the rest. Its slate text and blues keep their hues, lightened on a dark
// desktop where they would not read.
QString paletteStyle(const QPalette& palette) {
    const QColor base = palette.color(QPalette::Base);
    const QColor text = readableOn(QColor(0x1e, 0x2a, 0x33), base, 7.0);
    const QColor heading = readableOn(QColor(0x17, 0x4a, 0x73), base);
    const QColor link = readableOn(QColor(0x1a, 0x5f, 0xa0), base);
    const QColor quiet = readableOn(mixed(text, base, 0.3F), base);
    const QColor header = mixed(base, heading, 0.12F);
    const QColor block = mixed(base, text, 0.05F);
    return QStringLiteral(
               "\nbody { color: %1; background-color: %2; }\n"
               "h1, h2, h3 { color: %3; }\n"
               "a { color: %4; }\n"
               "th { background-color: %5; }\n"
               "pre { background-color: %6; }\n"
               ".note, .footer { color: %7; }\n")
        .arg(text.name(), base.name(), heading.name(), link.name(), header.name(), block.name(),
             quiet.name());
}

// The page view: the style sheet gets the palette's colours, and the page is
// drawn again when the desktop's palette changes.
class HelpBrowser : public QTextBrowser {
  public:
    using QTextBrowser::QTextBrowser;
    std::function<void()> restyled;

    QVariant loadResource(int type, const QUrl& name) override {
        QVariant loaded = QTextBrowser::loadResource(type, name);
        if (type != QTextDocument::StyleSheetResource) return loaded;
        const QString sheet = loaded.userType() == QMetaType::QByteArray
                                  ? QString::fromUtf8(loaded.toByteArray())
                                  : loaded.toString();
        colours_ = paletteStyle(palette());
        return sheet + colours_;
    }

    /// The widest text column, in ems of the page's font: longer lines are hard
    /// to follow back to their start.
    static constexpr int kReadableEms = 42;

  protected:
    void resizeEvent(QResizeEvent* event) override {
        keepReadableWidth();
        QTextBrowser::resizeEvent(event);
    }

    void changeEvent(QEvent* event) override {
        QTextBrowser::changeEvent(event);
        if (event->type() == QEvent::FontChange) keepReadableWidth();
        // Other changes send PaletteChange too (a new background role when the
        // page is centred, on every resize): only new colours reload the page,
        // and never from inside a reload.
        if (event->type() != QEvent::PaletteChange || source().isEmpty() || reloading_ ||
            colours_.isEmpty() || paletteStyle(palette()) == colours_)
            return;
        reloading_ = true;
        const int at = verticalScrollBar()->value();
        reload();
        verticalScrollBar()->setValue(at);
        reloading_ = false;
        if (restyled) restyled();
    }

  private:
    QString colours_;  // the colour rules the page shown was styled with
    bool reloading_ = false;

    // In a wide window the page keeps a readable width and stands in the middle,
    // its margins the page's own colour.
    void keepReadableWidth() {
        const int room = width() - 2 * frameWidth();
        const int page = kReadableEms * QFontInfo(font()).pixelSize() +
                         2 * static_cast<int>(document()->documentMargin());
        const int side = std::max(0, (room - page) / 2);
        setBackgroundRole(QPalette::Base);
        setAutoFillBackground(side > 0);
        setViewportMargins(side, 0, side, 0);
    }
};

bool containsAll(const Page& page, const QStringList& words) {
    return std::all_of(words.begin(), words.end(),
                       [&](const QString& w) { return page.text.contains(w); });
}

}  // namespace

struct HelpViewer::Impl {
    HelpViewer* self = nullptr;
    std::vector<Page> pages;
    QLineEdit* search = nullptr;
    QListWidget* contents = nullptr;
    QLabel* status = nullptr;
    QTextBrowser* browser = nullptr;
    QToolButton* back = nullptr;
    QToolButton* forward = nullptr;
    QToolButton* home = nullptr;
    // The page shown. QTextBrowser::source() only changes after sourceChanged
    // has been sent, so the signal's own URL is kept here.
    QUrl shown;

    [[nodiscard]] int pageIndex(const QString& file) const {
        for (std::size_t i = 0; i < pages.size(); ++i) {
            if (pages[i].file == file) return static_cast<int>(i);
        }
        return -1;
    }

    [[nodiscard]] QString shownFile() const { return shown.fileName(); }

    void showPage(const QString& file) {
        const QUrl url = pageUrl(file);
        if (shown == url) return;
        browser->setSource(url);
    }

    // Keeps the contents list on the page shown without navigating again.
    void syncList() {
        const int i = pageIndex(shownFile());
        const QSignalBlocker block(contents);
        if (i < 0) {
            contents->setCurrentRow(-1);
            return;
        }
        QListWidgetItem* item = contents->item(i);
        if (item->isHidden()) {
            contents->setCurrentItem(nullptr);
            contents->clearSelection();
        } else {
            contents->setCurrentItem(item);
        }
    }

    // Lists the pages holding every word of the search. The contents page
    // summarises all the others, so it is left out of a search's results.
    void filter() {
        const QStringList words = searchWords(search->text());
        int listed = 0;
        for (std::size_t i = 0; i < pages.size(); ++i) {
            const bool show =
                words.isEmpty() || (pages[i].file != kIndexPage && containsAll(pages[i], words));
            contents->item(static_cast<int>(i))->setHidden(!show);
            if (show) ++listed;
        }
        if (words.isEmpty()) {
            status->clear();
        } else if (listed == 0) {
            status->setText(HelpViewer::tr("No page contains all the words."));
        } else {
            status->setText(listed == 1 ? HelpViewer::tr("1 page found.")
                                        : HelpViewer::tr("%1 pages found.").arg(listed));
        }
        syncList();
        highlight(true);
    }

    // Marks every occurrence of the search words in the page shown and selects
    // the first one; scrollToFirst brings it into view.
    void highlight(bool scrollToFirst) {
        const QStringList words = searchWords(search->text());
        QList<QTextEdit::ExtraSelection> marks;
        QTextCursor first;
        QTextDocument* doc = browser->document();
        // Yellow marks on a light page; a deep amber on a dark one, where
        // yellow under light text would not read.
        const bool dark = isDark(browser->palette().color(QPalette::Base));
        const QColor markColour = dark ? QColor(0x80, 0x60, 0x00) : QColor(0xff, 0xe0, 0x6a);
        for (const QString& word : words) {
            QTextCursor c = doc->find(word, 0);
            while (!c.isNull() && marks.size() < kMaxMarks) {
                QTextEdit::ExtraSelection mark;
                mark.cursor = c;
                mark.format.setBackground(markColour);
                mark.format.setForeground(blackOrWhiteOn(markColour));
                marks.append(mark);
                if (first.isNull() || c.selectionStart() < first.selectionStart()) first = c;
                c = doc->find(word, c);
            }
        }
        browser->setExtraSelections(marks);
        if (!first.isNull()) {
            browser->setTextCursor(first);
            if (scrollToFirst) browser->ensureCursorVisible();
        } else {
            QTextCursor c = browser->textCursor();
            c.clearSelection();
            browser->setTextCursor(c);
        }
    }

    // Enter in the search box: the page shown stays when it matches,
    // otherwise the first page listed opens.
    void openFirstMatch() {
        const int shown = pageIndex(shownFile());
        if (shown >= 0 && !contents->item(shown)->isHidden() &&
            !searchWords(search->text()).isEmpty()) {
            highlight(true);
            return;
        }
        for (int i = 0; i < contents->count(); ++i) {
            if (!contents->item(i)->isHidden()) {
                showPage(pages[static_cast<std::size_t>(i)].file);
                return;
            }
        }
    }

    void focusList() {
        if (contents->currentItem() == nullptr || contents->currentItem()->isHidden()) {
            for (int i = 0; i < contents->count(); ++i) {
                if (!contents->item(i)->isHidden()) {
                    contents->setCurrentRow(i);
                    break;
                }
            }
        }
        contents->setFocus(Qt::OtherFocusReason);
    }
};

namespace {

// Down in the search box moves to the list of pages.
class SearchKeys : public QObject {
  public:
    SearchKeys(QObject* parent, std::function<void()> down)
        : QObject(parent), down_(std::move(down)) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Down && key->modifiers() == Qt::NoModifier) {
                down_();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<void()> down_;
};

QToolButton* navigationButton(QWidget* parent, const QString& text, QStyle::StandardPixmap icon,
                              const QString& name, const QString& tip) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    b->setAutoRaise(true);
    b->setToolTip(tip);
    return b;
}

}  // namespace

HelpViewer::HelpViewer(QWidget* parent) : QWidget(parent, Qt::Window), impl_(new Impl) {
    initHelpResources();
    Impl& d = *impl_;
    d.self = this;
    for (const QString& file : pageFiles())
        d.pages.push_back(loadPage(file));

    setWindowTitle(tr("Moonbite Help"));
    // The help window never keeps the program running on its own.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(720, 560);
    fitWhenShown(*this, nullptr, QSize(720, 560));

    d.back = navigationButton(this, tr("&Back"), QStyle::SP_ArrowBack, QStringLiteral("helpBack"),
                              tr("Back to the page before (Alt+Left)"));
    d.forward = navigationButton(this, tr("&Forward"), QStyle::SP_ArrowForward,
                                 QStringLiteral("helpForward"), tr("Forward again (Alt+Right)"));
    d.home = navigationButton(this, tr("&Home"), QStyle::SP_DirHomeIcon, QStringLiteral("helpHome"),
                              tr("The contents page"));
    d.back->setEnabled(false);
    d.forward->setEnabled(false);

    d.search = new QLineEdit(this);
    d.search->setObjectName(QStringLiteral("helpSearch"));
    d.search->setPlaceholderText(tr("Search help"));
    d.search->setClearButtonEnabled(true);
    d.search->setToolTip(tr("Lists the pages that contain all the words typed (Ctrl+F)"));

    d.contents = new QListWidget(this);
    d.contents->setObjectName(QStringLiteral("helpContents"));
    d.contents->setSelectionMode(QAbstractItemView::SingleSelection);
    d.contents->setSpacing(2);
    for (const Page& page : d.pages) {
        auto* item = new QListWidgetItem(page.title.isEmpty() ? page.file : page.title);
        item->setData(Qt::UserRole, page.file);
        d.contents->addItem(item);
    }

    d.status = new QLabel(this);
    d.status->setObjectName(QStringLiteral("helpStatus"));
    d.status->setWordWrap(true);

    auto* browser = new HelpBrowser(this);
    browser->restyled = [this] { impl_->highlight(false); };
    d.browser = browser;
    d.browser->setObjectName(QStringLiteral("helpBrowser"));
    d.browser->setOpenExternalLinks(true);
    d.browser->setFrameShape(QFrame::StyledPanel);
    d.browser->document()->setDocumentMargin(10);

    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->setSpacing(4);
    leftLayout->addWidget(d.search);
    leftLayout->addWidget(d.contents, 1);
    leftLayout->addWidget(d.status);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(left);
    splitter->addWidget(d.browser);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);
    splitter->setSizes({200, 520});

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    buttons->addWidget(d.back);
    buttons->addWidget(d.forward);
    buttons->addWidget(d.home);
    buttons->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(6);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);

    setTabOrder(d.search, d.contents);
    setTabOrder(d.contents, d.browser);

    // Navigation.
    connect(d.back, &QToolButton::clicked, d.browser, &QTextBrowser::backward);
    connect(d.forward, &QToolButton::clicked, d.browser, &QTextBrowser::forward);
    connect(d.home, &QToolButton::clicked, this, [this] { impl_->showPage(kIndexPage); });
    connect(d.browser, &QTextBrowser::backwardAvailable, d.back, &QToolButton::setEnabled);
    connect(d.browser, &QTextBrowser::forwardAvailable, d.forward, &QToolButton::setEnabled);
    connect(d.browser, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
        impl_->shown = url;
        impl_->syncList();
        impl_->highlight(url.fragment().isEmpty());
    });
    connect(d.contents, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item != nullptr) impl_->showPage(item->data(Qt::UserRole).toString());
    });
    connect(d.contents, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        impl_->showPage(item->data(Qt::UserRole).toString());
    });

    // Search.
    connect(d.search, &QLineEdit::textChanged, this, [this] { impl_->filter(); });
    connect(d.search, &QLineEdit::returnPressed, this, [this] { impl_->openFirstMatch(); });
    d.search->installEventFilter(new SearchKeys(this, [this] { impl_->focusList(); }));

    // Keys.
    auto* backKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Left), this);
    connect(backKey, &QShortcut::activated, d.browser, &QTextBrowser::backward);
    auto* forwardKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Right), this);
    connect(forwardKey, &QShortcut::activated, d.browser, &QTextBrowser::forward);
    auto* closeKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(closeKey, &QShortcut::activated, this, &QWidget::close);
    auto* findKey = new QShortcut(QKeySequence::Find, this);
    connect(findKey, &QShortcut::activated, this, [this] {
        impl_->search->setFocus(Qt::ShortcutFocusReason);
        impl_->search->selectAll();
    });

    showTopic(kHelpContents);
}

HelpViewer::~HelpViewer() {
    delete impl_;
}

QStringList HelpViewer::pageFiles() {
    return {QStringLiteral("index.html"),      QStringLiteral("settings.html"),
            QStringLiteral("values.html"),     QStringLiteral("tides.html"),
            QStringLiteral("prediction.html"), QStringLiteral("journal.html"),
            QStringLiteral("calendar.html"),   QStringLiteral("commandline.html"),
            QStringLiteral("tray.html")};
}

void HelpViewer::showTopic(int topic) {
    Impl& d = *impl_;
    QString file = kIndexPage;
    if (topic == kHelpProgramSettings) {
        file = QStringLiteral("settings.html");
    } else if (topic == kHelpJournal) {
        file = QStringLiteral("journal.html");
    }
    d.search->clear();
    d.showPage(file);
    d.browser->verticalScrollBar()->setValue(0);
    if (topic == kHelpContents || file == kIndexPage) {
        d.search->setFocus(Qt::OtherFocusReason);
    } else {
        d.browser->setFocus(Qt::OtherFocusReason);
    }
}

QString HelpViewer::currentTitle() const {
    return impl_->browser->documentTitle();
}

QString HelpViewer::currentPage() const {
    return impl_->shownFile();
}

QStringList HelpViewer::listedTitles() const {
    QStringList titles;
    for (int i = 0; i < impl_->contents->count(); ++i) {
        const QListWidgetItem* item = impl_->contents->item(i);
        if (!item->isHidden()) titles.append(item->text());
    }
    return titles;
}

HelpViewer* HelpViewer::open(int topic) {
    // One window for the whole program, made on first use. Closing it only
    // hides it; it is deleted when the program's event loop ends.
    static QPointer<HelpViewer> window;
    if (window.isNull()) {
        window = new HelpViewer;
        if (QCoreApplication* app = QCoreApplication::instance()) {
            QObject::connect(app, &QCoreApplication::aboutToQuit, window.data(),
                             &QObject::deleteLater);
        }
    }
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
    window->showTopic(topic);
    return window.data();
}

}  // namespace moonbite
