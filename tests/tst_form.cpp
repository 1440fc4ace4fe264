#include "gui/elidedwidgets.h"
#include "gui/gui.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QFrame>
#include <QLineEdit>
#include <QMenuBar>
#include <QPaintEngine>
#include <QProxyStyle>
#include <QScopeGuard>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyleFactory>
#include <QStyleHints>
#include <QStyleOption>

#include <algorithm>
#include <cmath>

namespace {

// Arial's metrics, in which every text of the form fits as drawn; Liberation
// Sans is Arial's stand-in on Linux.
QFont fittingFont()
{
    QFont font;
    font.setFamilies({"Liberation Sans", "Arial"});
    font.setPointSize(9);
    return font;
}

// The room Fusion leaves for a line of text: a button's frame (1) and
// margins (6 in all), a line edit's frame (1) and its own margins (2), the
// spin box's own line edit, and the field left of a combo box's arrow.
QSize textRoom(const QWidget *widget)
{
    if (const auto *spinBox = qobject_cast<const QSpinBox *>(widget))
        return spinBox->findChild<QLineEdit *>()->size() - QSize(4, 0);
    if (qobject_cast<const QComboBox *>(widget))
        return QSize(widget->width(), widget->height() - 4);
    if (qobject_cast<const QLineEdit *>(widget))
        return widget->size() - QSize(6, 2);
    return widget->size() - QSize(8, 2);
}

QStringList textsOf(const QWidget *widget)
{
    const QString name = widget->objectName();
    if (name == "createButton")
        return {"Create New Lobby", "Update Lobby Code"};
    if (name == "setPathButton")
        return {"Set RDR2 Directory", "Change RDR2 Directory"};
    if (const auto *button = qobject_cast<const QAbstractButton *>(widget))
        return {button->text()};
    if (const auto *field = qobject_cast<const QLineEdit *>(widget))
        return {field->placeholderText()};
    if (qobject_cast<const QSpinBox *>(widget))
        return {"99"};
    return {};
}

// Asked at run time: a constant condition would leave code unreachable on
// Windows, which MSVC warns of.
bool onLinux()
{
    return QSysInfo::kernelType() == "linux";
}

// The texts a widget paints, each with the point where its base line starts.
class PaintedTexts : public QPaintDevice, QPaintEngine
{
public:
    explicit PaintedTexts(QWidget *widget) : QPaintEngine(AllFeatures), size(widget->size()) { widget->render(this); }
    QList<std::pair<QString, QPointF>> texts;

    QPaintEngine *paintEngine() const override { return const_cast<PaintedTexts *>(this); }
    int metric(PaintDeviceMetric metric) const override
    {
        if (metric == PdmDevicePixelRatioScaled)
            return int(devicePixelRatioFScale());
        const bool ratio = metric == PdmDevicePixelRatio;
        return metric == PdmWidth ? size.width() : metric == PdmHeight ? size.height() : ratio ? 1 : 96;
    }
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawPath(const QPainterPath &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF &at, const QTextItem &item) override
    {
        texts.append({item.text(), painter()->transform().map(at)});
    }
    Type type() const override { return User; }

private:
    QSize size;
};

// Spin buttons as wide as those of KDE's Breeze, which leave the drawn spin
// box too little room for "99".
class WideSpinButtons : public QProxyStyle
{
public:
    WideSpinButtons() : QProxyStyle(QStyleFactory::create("Fusion")) {}
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl part,
                         const QWidget *widget) const override
    {
        const QRect rect = QProxyStyle::subControlRect(control, option, part, widget);
        return control == CC_SpinBox && part == SC_SpinBoxEditField ? rect.adjusted(0, 0, -16, 0) : rect;
    }
};

int scaled(int position, int scale)
{
    return (position * scale + 50) / 100;
}

// clang-format off
const QStringList kChildren = {"frame", "createButton", "passphraseField", "lobbyNameField", "nrOfLinesField",
                               "frame_2", "useSelectedButton", "removeSelectedButton", "lobbyList",
                               "frame_3", "resetButton", "setPathButton", "clearBackup"};
// clang-format on

} // namespace

class FormTest : public WorkDirTest
{
    Q_OBJECT

private slots:
    void initTestCase();
    void widgetTree_data();
    void widgetTree();
    void window();
    void tabChain();
    void fitsTheFont_data();
    void fitsTheFont();
    void eachStyle_data();
    void eachStyle();
    void longTexts_data();
    void longTexts();
    void followsChanges();
};

// The rows that pin the form as drawn must not depend on this machine's
// fonts or desktop.
void FormTest::initTestCase()
{
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setFont(fittingFont());
}

void FormTest::widgetTree_data()
{
    // clang-format off
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("accessibleName");

    QTest::newRow("frame") << "QFrame" << "centralwidget" << QRect(0, 0, 171, 101) << "" << "";
    QTest::newRow("createButton") << "QPushButton" << "frame" << QRect(10, 70, 151, 23) << "Create New Lobby" << "";
    QTest::newRow("passphraseField") << "QLineEdit" << "frame" << QRect(10, 40, 151, 20) << "lobby code" << "Lobby code";
    QTest::newRow("lobbyNameField") << "QLineEdit" << "frame" << QRect(10, 10, 101, 20) << "lobby name" << "Lobby name";
    QTest::newRow("nrOfLinesField") << "QSpinBox" << "frame" << QRect(120, 10, 42, 22) << "" << "Line breaks before the lobby code";
    QTest::newRow("frame_2") << "QFrame" << "centralwidget" << QRect(170, 0, 171, 101) << "" << "";
    QTest::newRow("useSelectedButton") << "QPushButton" << "frame_2" << QRect(10, 40, 151, 23) << "Use " << "";
    QTest::newRow("removeSelectedButton") << "QPushButton" << "frame_2" << QRect(10, 70, 151, 23) << "Delete" << "";
    QTest::newRow("lobbyList") << "LobbyBox" << "frame_2" << QRect(10, 10, 151, 21) << "" << "Saved lobbies";
    QTest::newRow("frame_3") << "QFrame" << "centralwidget" << QRect(0, 100, 341, 41) << "" << "";
    QTest::newRow("resetButton") << "QPushButton" << "frame_3" << QRect(10, 10, 81, 23) << "Go Public" << "";
    QTest::newRow("setPathButton") << "QPushButton" << "frame_3" << QRect(100, 10, 141, 23) << "Set RDR2 Directory" << "";
    QTest::newRow("clearBackup") << "QPushButton" << "frame_3" << QRect(250, 10, 81, 23) << "Clear backup" << "";
    // clang-format on
}

// The object names are what connects the slots, so each must be exact.
void FormTest::widgetTree()
{
    QFETCH(QString, className);
    QFETCH(QString, parent);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(QString, accessibleName);

    GUI gui(nullptr, QString(), 2);
    auto *widget = gui.findChild<QWidget *>(QTest::currentDataTag());
    QVERIFY(widget);
    QCOMPARE(widget->metaObject()->className(), className);
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    QCOMPARE(widget->geometry(), geometry);
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        QCOMPARE(button->text(), text);
    else if (auto *field = qobject_cast<QLineEdit *>(widget))
        QCOMPARE(field->placeholderText(), text);
    // Every control explains itself; screen readers name the ones without a text.
    QCOMPARE(widget->toolTip().isEmpty(), className == "QFrame");
    QCOMPARE(widget->accessibleName(), accessibleName);
    if (auto *frame = qobject_cast<QFrame *>(widget); frame && className == "QFrame") {
        QCOMPARE(frame->frameShape(), QFrame::Box);
        QCOMPARE(frame->frameShadow(), QFrame::Plain);
        QCOMPARE(frame->lineWidth(), 1);
        QCOMPARE(frame->midLineWidth(), 1);
    }
}

void FormTest::window()
{
    GUI gui(nullptr, QString(), 2);
    gui.show();
    QCOMPARE(gui.objectName(), "GUI");
    QCOMPARE(gui.windowTitle(), "Corvane");
    QCOMPARE(gui.centralWidget()->objectName(), "centralwidget");
    QCOMPARE(gui.statusBar()->objectName(), "statusbar");
    // A window that cannot be resized shows no grip to drag.
    QVERIFY(!gui.statusBar()->isSizeGripEnabled());
    QVERIFY(!gui.findChild<QMenuBar *>());
    QCOMPARE(gui.contextMenuPolicy(), Qt::NoContextMenu);
    QCOMPARE(gui.windowIcon().isNull(), true);

    gui.resize(800, 600);
    QCOMPARE(gui.size(), QSize(341, 166));
    QCOMPARE(gui.minimumSize(), QSize(341, 166));
    QCOMPARE(gui.maximumSize(), QSize(341, 166));

    auto *lines = gui.findChild<QSpinBox *>("nrOfLinesField");
    QCOMPARE(lines->minimum(), 1);
    QCOMPARE(lines->maximum(), 99);
    QCOMPARE(lines->value(), 2);

    // frame is drawn over frame_2 and frame_3 where they share a pixel.
    QCOMPARE(gui.centralWidget()->childAt(170, 50)->objectName(), "frame");
    QCOMPARE(gui.centralWidget()->childAt(100, 100)->objectName(), "frame");
}

void FormTest::tabChain()
{
    GUI gui(nullptr, QString(), 2);
    QStringList chain;
    QWidget *widget = gui.findChild<QWidget *>("setPathButton");
    for (int i = 0; i < 8; ++i, widget = widget->nextInFocusChain())
        chain << widget->objectName();
    QCOMPARE(chain, QStringList({"setPathButton", "lobbyNameField", "passphraseField", "createButton", "lobbyList",
                                 "useSelectedButton", "removeSelectedButton", "resetButton"}));
}

void FormTest::fitsTheFont_data()
{
    QTest::addColumn<QFont>("font");
    QTest::addColumn<int>("scale");
    QTest::addColumn<QSize>("size");

    // The first that fits: DejaVu Sans 9 at 1.08, where the button that
    // reads "Change RDR2 Directory" is wider than the 141 pixels drawn; Noto
    // Sans 10 at 1.09, where the spin box's line of 18 pixels needs 24 of 22;
    // Cantarell 11 at 1.18 and DejaVu Sans 12 at 1.41 for that button again.
    QTest::newRow("Liberation Sans 9") << QFont("Liberation Sans", 9) << 100 << QSize(341, 166);
    QTest::newRow("DejaVu Sans 9") << QFont("DejaVu Sans", 9) << 108 << QSize(368, 179);
    QTest::newRow("Noto Sans 10") << QFont("Noto Sans", 10) << 109 << QSize(372, 181);
    QTest::newRow("Cantarell 11") << QFont("Cantarell", 11) << 118 << QSize(402, 196);
    QTest::newRow("DejaVu Sans 12") << QFont("DejaVu Sans", 12) << 141 << QSize(480, 234);
}

// The form grows as one piece until every text it can show fits, and
// follows the font while it is open.
void FormTest::fitsTheFont()
{
    if (!onLinux())
        QSKIP("these are the fonts of Linux desktops");
    QFETCH(QFont, font);
    QFETCH(int, scale);
    QFETCH(QSize, size);
    QCOMPARE(QFontInfo(font).family(), font.family());

    QMap<QString, QRect> drawn;
    {
        GUI reference(nullptr, QString(), 2);
        for (const QString &name : kChildren)
            drawn[name] = reference.findChild<QWidget *>(name)->geometry();
    }

    QApplication::setFont(font);
    GUI gui(nullptr, QString(), 2);
    gui.show();
    const auto check = [&] {
        QCOMPARE(gui.findChild<FormFit *>()->scale(), scale);
        QCOMPARE(gui.size(), size);
        QCOMPARE(gui.minimumSize(), size);
        QCOMPARE(gui.maximumSize(), size);
        for (const QString &name : kChildren) {
            const auto *widget = gui.findChild<QWidget *>(name);
            const QRect was = drawn[name];
            QCOMPARE(widget->geometry(), QRect(QPoint(scaled(was.left(), scale), scaled(was.top(), scale)),
                                               QPoint(scaled(was.right(), scale), scaled(was.bottom(), scale))));
            const QFontMetrics metrics(widget->font());
            const QSize room = textRoom(widget);
            if (!qobject_cast<const QFrame *>(widget) || qobject_cast<const QAbstractSpinBox *>(widget))
                QVERIFY2(metrics.height() <= room.height(), qPrintable(name));
            for (const QString &text : textsOf(widget))
                QVERIFY2(metrics.horizontalAdvance(text) <= room.width(), qPrintable(text));
        }
        const auto frame = [&](const char *name) {
            return gui.findChild<QFrame *>(name)->geometry();
        };
        QCOMPARE(frame("frame").right(), frame("frame_2").left());
        QCOMPARE(frame("frame").bottom(), frame("frame_3").top());
        QCOMPARE(frame("frame_2").bottom(), frame("frame_3").top());
        QCOMPARE(frame("frame_3").right(), frame("frame_2").right());
        QCOMPARE(frame("frame_3").right(), size.width() - 1);
    };
    check();
    // Qt posts the change to each window.
    QApplication::setFont(fittingFont());
    QCoreApplication::sendPostedEvents();
    QCOMPARE(gui.size(), QSize(341, 166));
    QCOMPARE(gui.findChild<QWidget *>("setPathButton")->geometry(), drawn["setPathButton"]);
    QApplication::setFont(font);
    QCoreApplication::sendPostedEvents();
    check();
    QApplication::setFont(fittingFont());
}

void FormTest::eachStyle_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<bool>("dark");
    QTest::newRow("Fusion") << "Fusion" << false;
    QTest::newRow("wide spin buttons") << "" << false;
    if (QGuiApplication::platformName() != "windows")
        return;
    QTest::newRow("Fusion, dark") << "Fusion" << true;
    QTest::newRow("windowsvista") << "windowsvista" << false;
    QTest::newRow("windows11") << "windows11" << false;
    QTest::newRow("windows11, dark") << "windows11" << true;
}

// In a font that fits the form, every style keeps the window as drawn: a
// spin box that needs more room takes it from the name field beside it.
// Every text is whole by the style's own measure, a disabled button looks
// disabled, and in Windows' dark mode the window and its list are dark.
void FormTest::eachStyle()
{
    QFETCH(QString, style);
    QFETCH(bool, dark);
    QApplication::setStyle(style.isEmpty() ? new WideSpinButtons : QStyleFactory::create(style));
    const auto fusion = qScopeGuard([] { QApplication::setStyle(QStyleFactory::create("Fusion")); });
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QGuiApplication::styleHints()->setColorScheme(dark ? Qt::ColorScheme::Dark : Qt::ColorScheme::Light);
    const auto light = qScopeGuard([] { QGuiApplication::styleHints()->setColorScheme(Qt::ColorScheme::Unknown); });
#endif
    GUI gui(nullptr, QString(), 2);
    gui.show();
    QCOMPARE(gui.size(), QSize(341, 166));
    auto *name = gui.findChild<QLineEdit *>("lobbyNameField");
    auto *lines = gui.findChild<QSpinBox *>("nrOfLinesField");
    QCOMPARE(name->geometry().left(), 10);
    QCOMPARE(lines->geometry().right(), 161);
    QCOMPARE(lines->x() - name->geometry().right(), 10);
    QVERIFY(lines->findChild<QLineEdit *>()->width() - 4 >= lines->fontMetrics().horizontalAdvance("99"));
    for (auto *field : gui.findChildren<QLineEdit *>(QString(), Qt::FindDirectChildrenOnly))
        QCOMPARE(PaintedTexts(field).texts.value(0).first, field->placeholderText());
    gui.findChild<QPushButton *>("setPathButton")->setText("Change RDR2 Directory");
    gui.findChild<QPushButton *>("createButton")->setText("Update Lobby Code");
    for (auto *button : gui.findChildren<QPushButton *>())
        QVERIFY2(button->sizeHint().width() <= button->width(), qPrintable(button->text()));

    // The contrast of the caption to its button, as drawn.
    const auto contrast = [](QWidget *widget) {
        const QImage inner = widget->grab().toImage().copy(widget->rect().adjusted(4, 4, -4, -4));
        int darkest = 255;
        int lightest = 0;
        for (int y = 0; y < inner.height(); ++y) {
            for (int x = 0; x < inner.width(); ++x) {
                darkest = std::min(darkest, qGray(inner.pixel(x, y)));
                lightest = std::max(lightest, qGray(inner.pixel(x, y)));
            }
        }
        const auto luminance = [](int grey) {
            return std::pow(grey / 255.0, 2.2) + 0.05;
        };
        return luminance(lightest) / luminance(darkest);
    };
    auto *clearBackup = gui.findChild<QPushButton *>("clearBackup");
    const double enabled = contrast(clearBackup);
    QVERIFY2(enabled >= 4.5, qPrintable(QString::number(enabled)));
    clearBackup->setEnabled(false);
    QVERIFY2(contrast(clearBackup) < enabled / 2, qPrintable(QString::number(contrast(clearBackup))));
    const auto isDark = [](QWidget *widget) {
        return qGray(widget->grab().toImage().scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation).pixel(0, 0))
               < 128;
    };
    QCOMPARE(isDark(&gui), dark);
    auto *box = gui.findChild<QComboBox *>("lobbyList");
    box->addItems({"Camp", "Posse", "Saloon", "Train"});
    box->showPopup();
    QCOMPARE(isDark(box->view()->window()), dark);
    box->hidePopup();
}

void FormTest::longTexts_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("problem");
    QTest::addColumn<QString>("painted");
    QTest::addColumn<QString>("toolTip");

    // clang-format off
    const QString rest = ")  |  Lobbies: 0  |  Using default XML";
    const QString status = "Private (Evening Posse of the Frontier" + rest;
    const QString cut = "Private (Evening Pos…" + rest;
    QTest::newRow("short, a change failed") << "Fusion" << "Posse" << "Access denied." << "Private (Posse" + rest
        << "Access denied.";
    QTest::newRow("long, a change failed") << "Fusion" << "Evening Posse of the Frontier" << "Access denied." << cut
        << status + "\nAccess denied.";
    QTest::newRow("long, Windows' style") << "Windows" << "Evening Posse of the Frontier" << "" << cut << status;
    QTest::newRow("long, looks like markup") << "Fusion" << "<b>Evening Posse of the Frontier</b>" << ""
        << "Private (<b>Even…" + rest
        << Qt::convertFromPlainText("Private (<b>Evening Posse of the Frontier</b>" + rest);
    // clang-format on
}

// What does not fit is shortened where it is painted and whole where it is
// read: in the status line, only the lobby's name, and in the box; whole in
// the tooltip and in the list that drops down, beside its scroll bar.
void FormTest::longTexts()
{
    QFETCH(QString, style);
    QFETCH(QString, name);
    QFETCH(QString, problem);
    QFETCH(QString, painted);
    QFETCH(QString, toolTip);

    QApplication::setStyle(QStyleFactory::create(style));
    GUI gui(nullptr, QString(), 2);
    gui.show();
    auto *status = gui.findChild<StatusLine *>("statusbar");
    auto *box = gui.findChild<LobbyBox *>("lobbyList");
    status->setNote(StatusLine::GameFileProblem, problem);
    gui.findChild<QLineEdit *>("lobbyNameField")->setText(name);
    gui.updateStatus(QString());

    QCOMPARE(status->currentMessage(), "Private (" + name + ")  |  Lobbies: 0  |  Using default XML");
    const auto statusTexts = PaintedTexts(status).texts;
    QCOMPARE(statusTexts.size(), 1);
    // Where a font cuts the name differs a letter between systems: what is
    // on either side of the "…" is what must be painted.
    const QString shown = statusTexts[0].first;
    const qsizetype cutAt = painted.indexOf(QChar(0x2026));
    QVERIFY2(cutAt < 0 ? shown == painted : shown.startsWith(painted.left(cutAt)) && shown.endsWith(painted.mid(cutAt)),
             qPrintable(shown));
    QVERIFY(status->fontMetrics().horizontalAdvance(shown) <= status->width() - statusTexts[0].second.x());
    QCOMPARE(status->toolTip(), toolTip);

    for (int i = 0; i < 2 * box->maxVisibleItems(); ++i)
        box->addItem(QString::number(i));
    box->addItem(name);
    box->setCurrentIndex(box->count() - 1);
    QStyleOptionComboBox option;
    option.initFrom(box);
    const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
    const auto boxTexts = PaintedTexts(box).texts;
    QCOMPARE(boxTexts.size(), 1);
    QCOMPARE(boxTexts[0].first.endsWith(QChar(0x2026)), painted.contains(QChar(0x2026)));
    QVERIFY(boxTexts[0].second.x() + box->fontMetrics().horizontalAdvance(boxTexts[0].first) <= field.right() + 1);
    box->showPopup();
    const QModelIndex item = box->view()->model()->index(box->currentIndex(), 0);
    QCOMPARE(box->view()->verticalScrollBar()->isVisible(), style == "Windows");
    QVERIFY(box->view()->viewport()->width() >= box->view()->sizeHintForIndex(item).width());
    box->hidePopup();
    QApplication::setStyle(QStyleFactory::create("Fusion"));
}

// The form follows what changes while it is open: a larger font in the
// status line alone makes the window taller, not the form, and the tooltip
// follows what no longer fits; a style refits it as it would a new window;
// a font set for one class of widget refits it as an application font does.
// After a change of the screen's logical DPI the widgets draw their texts
// larger while no font change reaches the form: a filter swallows the
// buttons' one here.
void FormTest::followsChanges()
{
    if (!onLinux())
        QSKIP("these are the fonts of Linux desktops");
    GUI gui(nullptr, QString(), 2);
    gui.show();
    auto *status = gui.findChild<StatusLine *>("statusbar");
    gui.findChild<QLineEdit *>("lobbyNameField")->setText("Posse");
    gui.updateStatus(QString());
    QCOMPARE(status->toolTip(), "");
    QApplication::setFont(QFont("DejaVu Sans", 11), "QStatusBar");
    QCOMPARE(gui.size(), QSize(341, 166));
    QCOMPARE(status->toolTip(), status->currentMessage());
    QApplication::setFont(QFont("DejaVu Sans", 14), "QStatusBar");
    QCOMPARE(status->geometry(), QRect(0, 141, 341, status->sizeHint().height()));
    QCOMPARE(gui.size(), QSize(341, 141 + status->sizeHint().height()));
    QApplication::setFont(fittingFont(), "QStatusBar");
    QCOMPARE(status->toolTip(), "");

    QApplication::setFont(QFont("DejaVu Sans", 9));
    QCoreApplication::sendPostedEvents();
    QApplication::setStyle(QStyleFactory::create("Windows"));
    const QSize windows = GUI(nullptr, QString(), 2).size();
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QVERIFY(gui.size() != windows);
    QApplication::setStyle(QStyleFactory::create("Windows"));
    QCOMPARE(gui.size(), windows);
    QApplication::setStyle(QStyleFactory::create("Fusion"));
    QApplication::setFont(fittingFont());
    QCoreApplication::sendPostedEvents();

    QApplication::setFont(QFont("DejaVu Sans", 12), "QPushButton");
    QCOMPARE(gui.size(), QSize(480, 234));
    QApplication::setFont(fittingFont(), "QPushButton");
    QCOMPARE(gui.size(), QSize(341, 166));
    struct : QObject
    {
        bool eventFilter(QObject *, QEvent *event) override { return event->type() == QEvent::FontChange; }
    } unheard;
    for (QPushButton *button : gui.findChildren<QPushButton *>())
        button->installEventFilter(&unheard);
    QApplication::setFont(QFont("DejaVu Sans", 12), "QPushButton");
    QCOMPARE(gui.size(), QSize(341, 166));
    emit gui.screen()->logicalDotsPerInchChanged(96);
    QCOMPARE(gui.size(), QSize(480, 234));
    QApplication::setFont(fittingFont());
}

QTEST_MAIN(FormTest)
#include "tst_form.moc"
