#include "gui/gui.h"

#include "ui_gui.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStyleOption>

#include <algorithm>
#include <optional>

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
    // A push button: only the height, as its width depends on the caption.
    QStyleOptionButton option;
    option.initFrom(widget);
    option.rect = QRect(QPoint(), size);
    return size - QSize(0, 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, widget));
}

// The width a button needs for the caption, as QPushButton::sizeHint()
// asks its style.
int buttonWidthFor(const QWidget *widget, const QFontMetrics &metrics, const QString &caption)
{
    QStyleOptionButton option;
    option.initFrom(widget);
    option.text = caption;
    const QSize content = metrics.size(Qt::TextShowMnemonic, caption);
    option.rect = QRect(QPoint(), content);
    return widget->style()->sizeFromContents(QStyle::CT_PushButton, &option, content, widget).width();
}

bool textsFit(const QWidget *widget, const QStringList &texts, const QSize &size)
{
    const QFontMetrics metrics(widget->font(), widget);
    const QSize room = textRoom(widget, size);
    const bool button = qobject_cast<const QAbstractButton *>(widget);
    return metrics.height() <= room.height() && std::all_of(texts.begin(), texts.end(), [&](const QString &text) {
               return button ? buttonWidthFor(widget, metrics, text) <= size.width()
                             : metrics.horizontalAdvance(text) <= room.width();
           });
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
    // The name field and the spin box at kNamePart and kLinesPart.
    controls = {drawn(form.createButton, {kCreateLobbyText, kUpdateLobbyText}), field(form.passphraseField),
                field(form.lobbyNameField), drawn(lines, {lines->locale().toString(lines->maximum())}),
                button(form.useSelectedButton), button(form.removeSelectedButton),
                // Its names are shortened when too long; only its line must fit.
                drawn(form.lobbyList, {}), button(form.resetButton),
                drawn(form.setPathButton, {kSetPathText, kChangePathText}), button(form.clearBackup)};

    owner->installEventFilter(this);
    connect(form.statusbar, &StatusLine::sizeHintChanged, this, &FormFit::fit);
    for (const Part &part : controls)
        part.widget->installEventFilter(this);
    // A point size is drawn larger when the screen's logical DPI grows.
    const auto followScreen = [this](QScreen *screen) {
        connect(screen, &QScreen::logicalDotsPerInchChanged, this, &FormFit::fit);
    };
    const QList<QScreen *> screens = QGuiApplication::screens();
    std::for_each(screens.begin(), screens.end(), followScreen);
    connect(qApp, &QGuiApplication::screenAdded, this, followScreen);
    fit();
}

std::optional<std::vector<QRect>> FormFit::layoutAt(int candidate) const
{
    std::vector<QRect> rects;
    for (const Part &part : controls)
        rects.push_back(scaledRect(part.drawn, candidate));
    // A style whose spin box needs more room than drawn (Windows 11's arrows
    // side by side, Breeze's wide buttons) takes it from the name field
    // beside it rather than growing the whole form for one control.
    const Part &lines = controls[kLinesPart];
    const Part &name = controls[kNamePart];
    QRect &linesRect = rects[kLinesPart];
    QRect &nameRect = rects[kNamePart];
    while (!textsFit(lines.widget, lines.texts, linesRect.size())) {
        const QRect narrower = nameRect.adjusted(0, 0, -1, 0);
        if (!textsFit(name.widget, name.texts, narrower.size()))
            break;
        linesRect.setLeft(linesRect.left() - 1);
        nameRect = narrower;
    }
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (!textsFit(controls[i].widget, controls[i].texts, rects[i].size()))
            return std::nullopt;
    }
    return rects;
}

void FormFit::fit()
{
    int candidate = 100;
    std::optional<std::vector<QRect>> rects = layoutAt(candidate);
    while (!rects && candidate < kLargestScale)
        rects = layoutAt(++candidate);
    current = candidate;

    int formHeight = 0;
    for (const Part &part : frames) {
        part.widget->setGeometry(scaledRect(part.drawn, current));
        formHeight = std::max(formHeight, part.widget->geometry().bottom() + 1);
    }
    for (std::size_t i = 0; i < controls.size(); ++i)
        controls[i].widget->setGeometry(rects ? (*rects)[i] : scaledRect(controls[i].drawn, current));
    const QRect windowRect = scaledRect(QRect(QPoint(), drawnSize), current);
    window->setFixedSize(windowRect.width(),
                         std::max(windowRect.height(), formHeight + window->statusBar()->sizeHint().height()));
}

// A font set for one class of widget (QApplication::setFont(font,
// "QPushButton")) reaches only the widgets of that class. A style may size
// a control as it polishes it, before the window is first shown (Qt 6.8's
// windows11 widens every spin box to 88 pixels), which the fit undoes.
bool FormFit::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::FontChange || type == QEvent::StyleChange || (type == QEvent::Show && watched == window))
        fit();
    return QObject::eventFilter(watched, event);
}
