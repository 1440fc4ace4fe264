#include "gui/elidedwidgets.h"
#include "gui/gui.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QFrame>
#include <QLineEdit>
#include <QMenuBar>
#include <QSpinBox>
#include <QStyleFactory>

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
    void followsTheScreen();
    void longTexts_data();
    void longTexts();
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

    // The first that fits: DejaVu Sans 9 at 1.07, where "Change RDR2
    // Directory" needs 150 pixels of the 141 drawn; Noto Sans 10 at 1.09,
    // where the spin box's line of 18 pixels needs 24 of 22; Cantarell 11 at
    // 1.17 and DejaVu Sans 12 at 1.41 for the directory button again.
    QTest::newRow("Liberation Sans 9") << QFont("Liberation Sans", 9) << 100 << QSize(341, 166);
    QTest::newRow("DejaVu Sans 9") << QFont("DejaVu Sans", 9) << 107 << QSize(365, 178);
    QTest::newRow("Noto Sans 10") << QFont("Noto Sans", 10) << 109 << QSize(372, 181);
    QTest::newRow("Cantarell 11") << QFont("Cantarell", 11) << 117 << QSize(399, 194);
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

// After a change of the screen's logical DPI the widgets draw their texts
// larger while the window hears of no font change: here the buttons' font
// changes alone, as only they are told.
void FormTest::followsTheScreen()
{
    if (!onLinux())
        QSKIP("these are the fonts of Linux desktops");
    GUI gui(nullptr, QString(), 2);
    QApplication::setFont(QFont("DejaVu Sans", 12), "QPushButton");
    QCOMPARE(gui.size(), QSize(341, 166));
    emit gui.screen()->logicalDotsPerInchChanged(96);
    QCOMPARE(gui.findChild<FormFit *>()->scale(), 141);
    QCOMPARE(gui.size(), QSize(480, 234));
    QApplication::setFont(fittingFont());
}

void FormTest::longTexts_data()
{
    QTest::addColumn<QString>("style");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("problem");
    QTest::addColumn<bool>("cut");
    QTest::addColumn<QString>("toolTip");

    const QString status = "Private (Evening Posse of the Frontier)  |  Lobbies: 0  |  Using default XML";
    const QString marked = "Private (<b>Evening Posse of the Frontier</b>)  |  Lobbies: 0  |  Using default XML";
    QTest::newRow("short") << "Fusion"
                           << "Posse"
                           << "" << false << "";
    QTest::newRow("short, a change failed") << "Fusion"
                                            << "Posse"
                                            << "Access denied." << false << "Access denied.";
    QTest::newRow("long") << "Fusion"
                          << "Evening Posse of the Frontier"
                          << "" << true << status;
    QTest::newRow("long, a change failed") << "Fusion"
                                           << "Evening Posse of the Frontier"
                                           << "Access denied." << true << status + "\nAccess denied.";
    QTest::newRow("long, Windows' style") << "Windows"
                                          << "Evening Posse of the Frontier"
                                          << "" << true << status;
    QTest::newRow("long, looks like markup") << "Fusion"
                                             << "<b>Evening Posse of the Frontier</b>"
                                             << "" << true << Qt::convertFromPlainText(marked);
}

// What does not fit is shortened where it is shown and whole where it is
// read: in the status line's message and tooltip, and in the lobby list.
void FormTest::longTexts()
{
    QFETCH(QString, style);
    QFETCH(QString, name);
    QFETCH(QString, problem);
    QFETCH(bool, cut);
    QFETCH(QString, toolTip);

    QApplication::setStyle(QStyleFactory::create(style));
    GUI gui(nullptr, QString(), 2);
    gui.show();
    auto *status = gui.findChild<StatusLine *>("statusbar");
    auto *box = gui.findChild<LobbyBox *>("lobbyList");
    QVERIFY(status && box);
    status->setProblem(problem);
    gui.findChild<QLineEdit *>("lobbyNameField")->setText(name);
    gui.updateStatus(QString());

    const QString whole = "Private (" + name + ")  |  Lobbies: 0  |  Using default XML";
    QCOMPARE(status->currentMessage(), whole);
    QCOMPARE(status->shownMessage() != whole, cut);
    QCOMPARE(status->shownMessage().contains(QChar(0x2026)), cut);
    QVERIFY(status->fontMetrics().horizontalAdvance(status->shownMessage()) <= status->width() - 18);
    QCOMPARE(status->toolTip(), toolTip);

    box->addItem(name);
    box->setCurrentIndex(box->count() - 1);
    QCOMPARE(box->currentText(), name);
    QCOMPARE(box->shownText() != name, cut);
    box->showPopup();
    const QModelIndex item = box->view()->model()->index(box->currentIndex(), 0);
    QVERIFY(box->view()->viewport()->width() >= box->view()->sizeHintForIndex(item).width());
    box->hidePopup();
    QApplication::setStyle(QStyleFactory::create("Fusion"));
}

QTEST_MAIN(FormTest)
#include "tst_form.moc"
