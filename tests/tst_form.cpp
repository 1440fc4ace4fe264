#include "gui/gui.h"
#include "testsupport.h"

#include <QAbstractButton>
#include <QFrame>
#include <QLineEdit>
#include <QMenuBar>
#include <QSpinBox>
#include <QStatusBar>

class FormTest : public WorkDirTest
{
    Q_OBJECT

private slots:
    void widgetTree_data();
    void widgetTree();
    void window();
    void tabChain();
};

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
    QTest::newRow("lobbyList") << "QComboBox" << "frame_2" << QRect(10, 10, 151, 21) << "" << "Saved lobbies";
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

QTEST_MAIN(FormTest)
#include "tst_form.moc"
