#pragma once

#include <QComboBox>
#include <QStatusBar>

// Two widgets of the form that shorten a text too long for them with "…"
// instead of letting their edge cut it.

// Qt's line edits, and its styles drawing a combo box's text, keep this much
// free on either side of a text.
constexpr int kTextMargin = 2;

// The lobby list's box: a long name is shortened in the box, and the list
// that drops down shows it whole.
class LobbyBox : public QComboBox
{
    Q_OBJECT

public:
    using QComboBox::QComboBox;
    QString shownText() const;
    void showPopup() override;

protected:
    void initStyleOption(QStyleOptionComboBox *option) const override;
};

// The status line: currentMessage() stays the whole text; what is drawn has
// the lobby's name shortened with "…" when that text is too long, and the
// tooltip then holds the whole text, above the notes: why something failed,
// and what the player should know of the last change. It draws the message
// and its panel itself and holds no widgets of its own.
class StatusLine : public QStatusBar
{
    Q_OBJECT

public:
    // One line of the tooltip each, in this order; each stays until it is
    // set again.
    enum Note { GameFileProblem, LobbyFileProblem, SettingsProblem, GameFolderProblem, NextGameStart, NoteCount };

    explicit StatusLine(QWidget *parent = nullptr);
    // Shows head + name + tail, of which only the name may be shortened.
    void showStatus(const QString &head, const QString &name, const QString &tail);
    void setNote(Note note, const QString &text);
    QString shownMessage() const;

signals:
    void sizeHintChanged();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QRect messageRect() const;
    void updateToolTip();

    qsizetype nameFrom = 0;
    qsizetype nameLength = 0;
    QString notes[NoteCount];
};
