// The program's help: HTML pages compiled in, shown in a help window at a
// topic number.
#pragma once

#include <QWidget>

namespace moonbite {

/// Topic numbers the windows open.
enum HelpTopic { kHelpProgramSettings = 10, kHelpContents = 11, kHelpJournal = 20 };

class HelpViewer : public QWidget {
    Q_OBJECT
public:
    explicit HelpViewer(QWidget* parent = nullptr);
    /// Shows a topic: 10 program settings, 11 contents with search, 20 journal.
    void showTopic(int topic);
    /// The title of the page shown (tests).
    [[nodiscard]] QString currentTitle() const;
    /// Opens (or raises) the one help window of the program at a topic.
    static HelpViewer* open(int topic);

private:
    struct Impl;
    Impl* impl_;
};

}  // namespace moonbite
