// The real message boxes: title, icon, the single "OK" that Enter and Esc both
// close, centred below the text, modal, in the middle of the screen.
#include "platform/qt/QtMessageBoxes.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct Seen {
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
    bool modal = false;
    QPoint centreOffset;
    int okCentreOffset = 0; // the button's centre from the box's, across
    bool okBelowText = false;
};

// Shows a box, looks at it while it is open, closes it with `key`.
Seen showAndClose(MessageBoxes::Kind kind, const QString& text, Qt::Key key, bool* closed)
{
    Seen seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        if (!QTest::qWaitForWindowExposed(box))
            return;
        seen.title = box->windowTitle();
        seen.text = box->text();
        seen.icon = box->icon();
        for (QAbstractButton* button : box->buttons())
            seen.buttons << button->text();
        seen.modal = box->windowModality() == Qt::ApplicationModal;
        seen.centreOffset = box->frameGeometry().center() - box->screen()->geometry().center();
        if (const QAbstractButton* ok = box->buttons().value(0)) {
            const QRect button(ok->mapTo(box, QPoint()), ok->size());
            seen.okCentreOffset = button.center().x() - box->rect().center().x();
            const auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            seen.okBelowText =
                label && button.top() > label->mapTo(box, QPoint(0, label->height())).y();
        }
        QTest::keyClick(box, key);
    });
    QtMessageBoxes boxes;
    boxes.show(kind, text);
    *closed = true; // show() returned: the box was closed
    return seen;
}

} // namespace

TEST(MessageBoxes, EachKindHasItsTitleIconAndOneOkButton)
{
    QCoreApplication::setApplicationName(QStringLiteral("Huvella"));
    struct Row {
        const char* name;
        MessageBoxes::Kind kind;
        QString title;
        QMessageBox::Icon icon;
        Qt::Key closeKey;
    };
    const Row rows[] = {
        {"Information", MessageBoxes::Kind::Information, "Information", QMessageBox::Information,
         Qt::Key_Escape},
        {"Warning", MessageBoxes::Kind::Warning, "Warning", QMessageBox::Warning, Qt::Key_Return},
        {"Plain", MessageBoxes::Kind::Plain, "Huvella", QMessageBox::NoIcon, Qt::Key_Escape},
        {"Error", MessageBoxes::Kind::Error, "Huvella", QMessageBox::Critical, Qt::Key_Return},
    };
    for (const Row& row : rows) {
        bool closed = false;
        const Seen seen = showAndClose(row.kind, "Must be a number between 0-255 !\nsecond line",
                                       row.closeKey, &closed);
        EXPECT_TRUE(closed) << row.name;
        EXPECT_EQ(seen.title, row.title) << row.name;
        EXPECT_EQ(seen.icon, row.icon) << row.name;
        EXPECT_EQ(seen.text, "Must be a number between 0-255 !\nsecond line") << row.name;
        EXPECT_EQ(seen.buttons, QStringList{"OK"}) << row.name;
        EXPECT_LE(std::abs(seen.okCentreOffset), 1) << row.name;
        EXPECT_TRUE(seen.okBelowText) << row.name;
        EXPECT_TRUE(seen.modal) << row.name;
        EXPECT_LE(seen.centreOffset.manhattanLength(), 2) << row.name;
    }
}
