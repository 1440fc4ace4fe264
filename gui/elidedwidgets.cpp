#include "gui/elidedwidgets.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QPainter>
#include <QScrollBar>
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

void StatusLine::showStatus(const QString &head, const QString &name, const QString &tail)
{
    nameFrom = head.size();
    nameLength = name.size();
    showMessage(head + name + tail);
}

void StatusLine::setNote(Note note, const QString &text)
{
    notes[note] = text;
    updateToolTip();
}

QString StatusLine::shownMessage() const
{
    const QString message = currentMessage();
    const QFontMetrics metrics = fontMetrics();
    const int room = messageRect().width();
    if (metrics.horizontalAdvance(message) <= room)
        return message;
    // The lobby's name is the one part that may be shortened: the count and
    // the template keep their words. Kerning across the joins may cost a
    // pixel more than the parts apart.
    const QString head = message.left(nameFrom);
    const QString tail = message.mid(nameFrom + nameLength);
    const QString name = message.mid(nameFrom, nameLength);
    for (int nameRoom = room - metrics.horizontalAdvance(head + tail); !name.isEmpty(); --nameRoom) {
        const QString shortName = metrics.elidedText(name, Qt::ElideRight, nameRoom);
        if (shortName.isEmpty())
            break;
        if (metrics.horizontalAdvance(head + shortName + tail) <= room)
            return head + shortName + tail;
    }
    return metrics.elidedText(message, Qt::ElideRight, room);
}

// Where QStatusBar puts its message, 6 pixels in; a fixed window has no
// size grip, so the message may reach as near the other end.
QRect StatusLine::messageRect() const
{
    return rect().adjusted(6, 0, -6, 0);
}

bool StatusLine::event(QEvent *event)
{
    const bool handled = QStatusBar::event(event);
    // QStatusBar sizes itself for its font only when a widget is added.
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) {
        reformat();
        emit sizeHintChanged();
    }
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
    for (const QString &note : notes) {
        if (!note.isEmpty())
            lines << note;
    }
    const QString tip = lines.join(QLatin1Char('\n'));
    // A lobby name such as "<b>Posse</b>" would make Qt show the tip as markup.
    setToolTip(Qt::mightBeRichText(tip) ? Qt::convertFromPlainText(tip) : tip);
}
