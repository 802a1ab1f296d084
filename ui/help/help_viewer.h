// The program's help: HTML pages compiled in, shown in a help window at a
// topic number.
#pragma once

#include <QStringList>
#include <QWidget>

namespace moonbite {

/// Topic numbers the windows open.
enum HelpTopic { kHelpProgramSettings = 10, kHelpContents = 11, kHelpJournal = 20 };

/// The help window: a search box and the list of pages on the left, the page
/// on the right, with Back, Forward and Home. Closing it only hides it.
///
/// Child object names, for tests: "helpSearch" (QLineEdit), "helpContents"
/// (QListWidget), "helpBrowser" (QTextBrowser), "helpBack", "helpForward",
/// "helpHome" (buttons), "helpStatus" (QLabel under the list).
class HelpViewer : public QWidget {
    Q_OBJECT
  public:
    explicit HelpViewer(QWidget* parent = nullptr);
    ~HelpViewer() override;
    /// Shows a topic: 10 program settings, 11 contents with search, 20 journal;
    /// any other number shows the contents. Clears the search.
    void showTopic(int topic);
    /// The title of the page shown (tests).
    [[nodiscard]] QString currentTitle() const;
    /// The file name of the page shown ("journal.html").
    [[nodiscard]] QString currentPage() const;
    /// The titles the contents list shows now, in order (all pages, or the
    /// pages that match the search).
    [[nodiscard]] QStringList listedTitles() const;
    /// The page files in contents order, under the resource folder ":/help".
    [[nodiscard]] static QStringList pageFiles();
    /// Opens (or raises) the one help window of the program at a topic.
    static HelpViewer* open(int topic);

  private:
    struct Impl;
    Impl* impl_;
};

}  // namespace moonbite
