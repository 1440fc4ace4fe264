#include "gui/gui.h"

#include "ui_gui.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyleOption>

#include <algorithm>

namespace {

// Four times as large fits any font a desktop offers for a window this size.
constexpr int kLargestScale = 400;

int scaled(int position, int scale)
{
    return (position * scale + 50) / 100;
}

// The first and the last pixel land where today's land, scaled and rounded,
// so frames that share a border line go on sharing it.
QRect scaledRect(const QRect &rect, int scale)
{
    return QRect(QPoint(scaled(rect.left(), scale), scaled(rect.top(), scale)),
                 QPoint(scaled(rect.right(), scale), scaled(rect.bottom(), scale)));
}

// The room the widget's style leaves for one line of text inside a widget of
// the given size: what its frame, margins and buttons do not take.
QSize textRoom(const QWidget *widget, const QSize &size)
{
    const QStyle *style = widget->style();
    if (const auto *spinBox = qobject_cast<const QAbstractSpinBox *>(widget)) {
        QStyleOptionSpinBox option;
        option.initFrom(widget);
        option.rect = QRect(QPoint(), size);
        option.frame = spinBox->hasFrame();
        option.buttonSymbols = spinBox->buttonSymbols();
        option.subControls = QStyle::SC_All;
        const QRect field = style->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxEditField, widget);
        return field.size() - QSize(2 * kTextMargin, 0);
    }
    if (const auto *comboBox = qobject_cast<const QComboBox *>(widget)) {
        QStyleOptionComboBox option;
        option.initFrom(widget);
        option.rect = QRect(QPoint(), size);
        option.frame = comboBox->hasFrame();
        option.subControls = QStyle::SC_All;
        const QRect field = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, widget);
        return field.size() - QSize(2 * kTextMargin, 0);
    }
    if (qobject_cast<const QLineEdit *>(widget)) {
        QStyleOptionFrame option;
        option.initFrom(widget);
        option.rect = QRect(QPoint(), size);
        option.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, widget);
        option.state |= QStyle::State_Sunken;
        return style->subElementRect(QStyle::SE_LineEditContents, &option, widget).size() - QSize(2 * kTextMargin, 0);
    }
    // A push button: what the style adds around a caption when it sizes one.
    QStyleOptionButton option;
    option.initFrom(widget);
    option.rect = QRect(QPoint(), size);
    const int frame = 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, widget);
    const int margin = style->pixelMetric(QStyle::PM_ButtonMargin, &option, widget);
    return size - QSize(margin + frame, frame);
}

} // namespace

FormFit::FormFit(GuiForm &form, QMainWindow *owner) : QObject(owner), window(owner), drawnSize(owner->size())
{
    const auto drawn = [](QWidget *widget, const QStringList &texts) {
        return Part{widget, widget->geometry(), texts};
    };
    const auto button = [&](QAbstractButton *widget) {
        return drawn(widget, {widget->text()});
    };
    const auto field = [&](QLineEdit *widget) {
        return drawn(widget, {widget->placeholderText()});
    };
    QSpinBox *lines = form.nrOfLinesField;
    frames = {drawn(form.frame, {}), drawn(form.frame_2, {}), drawn(form.frame_3, {})};
    controls = {drawn(form.createButton, {kCreateLobbyText, kUpdateLobbyText}), field(form.passphraseField),
                field(form.lobbyNameField), drawn(lines, {lines->locale().toString(lines->maximum())}),
                button(form.useSelectedButton), button(form.removeSelectedButton),
                // Its names are shortened when too long; only its line must fit.
                drawn(form.lobbyList, {}), button(form.resetButton),
                drawn(form.setPathButton, {kSetPathText, kChangePathText}), button(form.clearBackup)};

    owner->installEventFilter(this);
    // A point size is drawn larger when the screen's logical DPI grows.
    const auto followScreen = [this](QScreen *screen) {
        connect(screen, &QScreen::logicalDotsPerInchChanged, this, &FormFit::fit);
    };
    const QList<QScreen *> screens = QGuiApplication::screens();
    std::for_each(screens.begin(), screens.end(), followScreen);
    connect(qApp, &QGuiApplication::screenAdded, this, followScreen);
    fit();
}

bool FormFit::fitsAt(int candidate) const
{
    return std::all_of(controls.begin(), controls.end(), [candidate](const Part &part) {
        const QSize room = textRoom(part.widget, scaledRect(part.drawn, candidate).size());
        const QFontMetrics metrics(part.widget->font(), part.widget);
        return metrics.height() <= room.height()
               && std::all_of(part.texts.begin(), part.texts.end(),
                              [&](const QString &text) { return metrics.horizontalAdvance(text) <= room.width(); });
    });
}

void FormFit::fit()
{
    int candidate = 100;
    while (candidate < kLargestScale && !fitsAt(candidate))
        ++candidate;
    current = candidate;

    int formHeight = 0;
    for (const Part &part : frames) {
        part.widget->setGeometry(scaledRect(part.drawn, current));
        formHeight = std::max(formHeight, part.widget->geometry().bottom() + 1);
    }
    for (const Part &part : controls)
        part.widget->setGeometry(scaledRect(part.drawn, current));
    const QRect windowRect = scaledRect(QRect(QPoint(), drawnSize), current);
    window->setFixedSize(windowRect.width(),
                         std::max(windowRect.height(), formHeight + window->statusBar()->sizeHint().height()));
}

bool FormFit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window && (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange))
        fit();
    return QObject::eventFilter(watched, event);
}
