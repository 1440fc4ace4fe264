#include "gui/gui.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>

namespace {

template<typename Widget>
Widget *addChild(QWidget *parent, const char *objectName, const QRect &geometry)
{
    auto *widget = new Widget(parent);
    widget->setObjectName(QString::fromLatin1(objectName));
    widget->setGeometry(geometry);
    return widget;
}

QFrame *addFrame(QWidget *parent, const char *objectName, const QRect &geometry)
{
    auto *frame = addChild<QFrame>(parent, objectName, geometry);
    frame->setFrameShape(QFrame::Box);
    frame->setFrameShadow(QFrame::Plain);
    frame->setLineWidth(1);
    frame->setMidLineWidth(1);
    return frame;
}

QString translated(const char *text)
{
    return QCoreApplication::translate("GUI", text);
}

void setTexts(GuiForm &form, QMainWindow *window)
{
    window->setWindowTitle(translated("Corvane"));
    form.createButton->setText(translated("Create New Lobby"));
    form.passphraseField->setPlaceholderText(translated("lobby code"));
    form.lobbyNameField->setPlaceholderText(translated("lobby name"));
    form.useSelectedButton->setText(translated("Use "));
    form.removeSelectedButton->setText(translated("Delete"));
    form.resetButton->setText(translated("Go Public"));
    form.setPathButton->setText(translated("Set RDR2 Directory"));
    form.clearBackup->setText(translated("Clear backup"));
}

} // namespace

void setupForm(GuiForm &form, QMainWindow *window)
{
    if (window->objectName().isEmpty())
        window->setObjectName(QStringLiteral("GUI"));
    window->resize(341, 166);
    window->setMinimumSize(341, 166);
    window->setMaximumSize(341, 166);
    window->setContextMenuPolicy(Qt::NoContextMenu);

    form.centralwidget = new QWidget(window);
    form.centralwidget->setObjectName(QStringLiteral("centralwidget"));

    form.frame = addFrame(form.centralwidget, "frame", {0, 0, 171, 101});
    form.createButton = addChild<QPushButton>(form.frame, "createButton", {10, 70, 151, 23});
    form.passphraseField = addChild<QLineEdit>(form.frame, "passphraseField", {10, 40, 151, 20});
    form.lobbyNameField = addChild<QLineEdit>(form.frame, "lobbyNameField", {10, 10, 101, 20});
    form.nrOfLinesField = addChild<QSpinBox>(form.frame, "nrOfLinesField", {120, 10, 42, 22});
    form.nrOfLinesField->setMinimum(1);
    form.nrOfLinesField->setValue(2);

    form.frame_2 = addFrame(form.centralwidget, "frame_2", {170, 0, 171, 101});
    form.useSelectedButton = addChild<QPushButton>(form.frame_2, "useSelectedButton", {10, 40, 151, 23});
    form.removeSelectedButton = addChild<QPushButton>(form.frame_2, "removeSelectedButton", {10, 70, 151, 23});
    form.lobbyList = addChild<QComboBox>(form.frame_2, "lobbyList", {10, 10, 151, 21});

    form.frame_3 = addFrame(form.centralwidget, "frame_3", {0, 100, 341, 41});
    form.resetButton = addChild<QPushButton>(form.frame_3, "resetButton", {10, 10, 81, 23});
    form.setPathButton = addChild<QPushButton>(form.frame_3, "setPathButton", {100, 10, 141, 23});
    form.clearBackup = addChild<QPushButton>(form.frame_3, "clearBackup", {250, 10, 81, 23});

    window->setCentralWidget(form.centralwidget);
    // Where the frames overlap by a pixel, the first one is drawn on top.
    form.frame_3->raise();
    form.frame_2->raise();
    form.frame->raise();

    form.statusbar = new QStatusBar(window);
    form.statusbar->setObjectName(QStringLiteral("statusbar"));
    window->setStatusBar(form.statusbar);

    QWidget::setTabOrder(form.setPathButton, form.lobbyNameField);
    QWidget::setTabOrder(form.lobbyNameField, form.passphraseField);
    QWidget::setTabOrder(form.passphraseField, form.createButton);
    QWidget::setTabOrder(form.createButton, form.lobbyList);
    QWidget::setTabOrder(form.lobbyList, form.useSelectedButton);
    QWidget::setTabOrder(form.useSelectedButton, form.removeSelectedButton);
    QWidget::setTabOrder(form.removeSelectedButton, form.resetButton);

    setTexts(form, window);

    // The slots are found by their names, so the object names above are wiring.
    QMetaObject::connectSlotsByName(window);
}
