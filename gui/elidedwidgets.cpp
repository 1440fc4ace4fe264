#include "gui/elidedwidgets.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QLayout>
#include <QPainter>
#include <QScrollBar>
#include <QSizeGrip>
#include <QStyleOption>
#include <QTextDocument>

QString LobbyBox::shownText() const
{
    QStyleOptionComboBox option;
    QComboBox::initStyleOption(&option);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    return fontMetrics().elidedText(currentText(), Qt::ElideRight, field.width() - 2 * kTextMargin);
}

void LobbyBox::initStyleOption(QStyleOptionComboBox *option) const
{
    QComboBox::initStyleOption(option);
    option->currentText = shownText();
}

void LobbyBox::showPopup()
{
    // Fusion widens the list to its longest name by itself; Windows' styles
    // open it as wide as the box, where the list would cut that name too.
    QAbstractItemView *list = view();
    int width = list->sizeHintForColumn(0) + 2 * list->frameWidth();
    if (count() > maxVisibleItems())
        width += list->verticalScrollBar()->sizeHint().width();
    list->setMinimumWidth(width);
    QComboBox::showPopup();
}

StatusLine::StatusLine(QWidget *parent) : QStatusBar(parent)
{
    connect(this, &QStatusBar::messageChanged, this, &StatusLine::updateToolTip);
}

void StatusLine::setProblem(const QString &text)
{
    problem = text;
    updateToolTip();
}

QString StatusLine::shownMessage() const
{
    // Cut in the middle: the lobby in use is named first, the template last.
    return fontMetrics().elidedText(currentMessage(), Qt::ElideMiddle, messageRect().width());
}

// Where QStatusBar puts its message: 6 pixels in, and clear of the size grip
// or, without one, 12 pixels short of the end.
QRect StatusLine::messageRect() const
{
    const bool rightToLeft = layoutDirection() == Qt::RightToLeft;
    int left = 6;
    int right = width() - 12;
    // The grip lands in its place once the layout has run.
    if (layout())
        layout()->activate();
    const auto *grip = findChild<QSizeGrip *>(QString(), Qt::FindDirectChildrenOnly);
    if (grip && grip->isVisible()) {
        if (rightToLeft)
            left = grip->x() + grip->width();
        else
            right = grip->x();
    }
    return QRect(left, 0, right - left, height());
}

bool StatusLine::event(QEvent *event)
{
    const bool handled = QStatusBar::event(event);
    if (event->type() == QEvent::Show || event->type() == QEvent::Resize || event->type() == QEvent::FontChange)
        updateToolTip();
    return handled;
}

void StatusLine::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_PanelStatusBar, &option, &painter, this);
    painter.setPen(palette().windowText().color());
    painter.drawText(messageRect(), Qt::AlignLeading | Qt::AlignVCenter | Qt::TextSingleLine, shownMessage());
}

void StatusLine::updateToolTip()
{
    // A hidden status line cuts nothing.
    QStringList lines;
    if (isVisible() && shownMessage() != currentMessage())
        lines << currentMessage();
    if (!problem.isEmpty())
        lines << problem;
    const QString tip = lines.join(QLatin1Char('\n'));
    // A lobby name such as "<b>Posse</b>" would make Qt show the tip as markup.
    setToolTip(Qt::mightBeRichText(tip) ? Qt::convertFromPlainText(tip) : tip);
}
