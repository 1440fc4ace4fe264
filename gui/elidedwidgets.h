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

// The status line: currentMessage() stays the whole text, what is drawn has
// a "…" in its middle when that text is too long, and the tooltip then holds
// the whole text, above why the last change of a game file failed. It
// draws the message and its panel itself and holds no widgets of its own.
class StatusLine : public QStatusBar
{
    Q_OBJECT

public:
    explicit StatusLine(QWidget *parent = nullptr);
    // Why the last change of a game file failed; empty once one succeeded.
    void setProblem(const QString &problem);
    QString shownMessage() const;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QRect messageRect() const;
    void updateToolTip();

    QString problem;
};
