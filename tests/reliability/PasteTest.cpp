// A megabyte on the clipboard, pasted into the hex box and into an RGB box by
// the keyboard and by the box's menu. Each box takes the clipboard's first
// line as far as its length allows (7 and 3 characters), the RGB box's usual
// errors follow in one box, and the window goes on as for a short paste.
#include "FormFixture.h"
#include "QtPrinters.h"
#include "frmMain/TButton.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QMenu>
#include <algorithm>

using Kind = MessageBoxes::Kind;
using Shown = RecordingMessageBoxes::Shown;

namespace {

constexpr qsizetype Megabyte = 1 << 20;

// `start` followed by `filler` up to a megabyte, in one line.
QString MegabyteOf(const QString& start, QChar filler)
{
    return start + QString(Megabyte - start.size(), filler);
}

} // namespace

class Paste : public FormFixture {
protected:
    // The whole text of the box selected, then its menu's Paste, as the user does.
    void pasteByMenu(TEdit* box, const QString& clipboard)
    {
        QApplication::clipboard()->setText(clipboard);
        box->setFocus();
        box->selectAll();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4),
                                box->mapToGlobal(QPoint(4, 4)));
        QApplication::sendEvent(box, &event);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        const QList<QAction*> actions = menu->actions();
        const auto paste = std::find_if(actions.begin(), actions.end(), [](const QAction* action) {
            return action->text().startsWith(QLineEdit::tr("&Paste"));
        });
        ASSERT_NE(paste, actions.end());
        ASSERT_TRUE((*paste)->isEnabled());
        (*paste)->trigger();
        menu->close();
    }

    void pasteByKeyboard(TEdit* box, const QString& clipboard)
    {
        QApplication::clipboard()->setText(clipboard);
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    }
};

TEST_F(Paste, AMegabyteInTheHexBoxKeepsSevenCharactersAndTranslates)
{
    pasteByKeyboard(form->edt1, MegabyteOf(QStringLiteral("#00ff00"), u'9'));
    EXPECT_EQ(form->edt1->text(), "#00ff00");
    QTest::mouseClick(form->btn2, Qt::LeftButton);
    EXPECT_EQ(form->CurrentColor(), 0x00FF00);
    EXPECT_EQ(form->edt1->text(), "#00FF00");

    pasteByMenu(form->edt1, MegabyteOf(QStringLiteral("#"), u'z'));
    EXPECT_EQ(form->edt1->text(), "#zzzzzz");
    QTest::mouseClick(form->btn2, Qt::LeftButton);
    EXPECT_EQ(boxes.shown, (std::vector<Shown>{{Kind::Warning, "The color value is incorrect !"}}));
    EXPECT_EQ(form->CurrentColor(), 0);
}

TEST_F(Paste, AMegabyteInAnRgbBoxKeepsThreeCharactersWithTheBoxsErrors)
{
    // Letters: the conversion error quotes the three characters the box took.
    pasteByMenu(form->edt2, MegabyteOf(QStringLiteral("abc"), u'd'));
    EXPECT_EQ(form->edt2->text(), "abc");
    EXPECT_EQ(boxes.shown,
              (std::vector<Shown>{{Kind::Error, "'abc' is not a valid integer value."}}));
    EXPECT_EQ(form->CurrentColor(), 0);

    // Digits: more than 255, so 255.
    boxes.shown.clear();
    pasteByMenu(form->edt2, MegabyteOf(QStringLiteral(""), u'9'));
    EXPECT_EQ(form->edt2->text(), "255");
    EXPECT_EQ(form->CurrentColor(), 0x0000FF);
    EXPECT_EQ(form->edt1->text(), "#FF0000");
    EXPECT_TRUE(boxes.shown.empty());

    // Only the first line counts, however long the rest.
    pasteByMenu(form->edt3, QStringLiteral("12\r\n") + MegabyteOf(QStringLiteral(""), u'7'));
    EXPECT_EQ(form->edt3->text(), "12");
    EXPECT_EQ(form->CurrentColor(), 0x000CFF);

    // Ctrl+V is a character the box refuses, as any other key that is no digit.
    pasteByKeyboard(form->edt4, MegabyteOf(QStringLiteral("1"), u'1'));
    EXPECT_EQ(boxes.shown, (std::vector<Shown>{{Kind::Plain, "Must be a number between 0-255 !"}}));
    EXPECT_EQ(form->edt4->text(), "0");
}

// An input method's commit is typed: no further than the box's length, each
// character through the key filter, so a megabyte of letters costs three boxes.
TEST_F(Paste, AMegabyteCommittedByAnInputMethodIsTypedNoFurtherThanTheBoxHolds)
{
    form->edt2->setFocus();
    form->edt2->selectAll();
    QInputMethodEvent commit;
    commit.setCommitString(MegabyteOf(QStringLiteral("x"), u'x'));
    QApplication::sendEvent(form->edt2, &commit);

    EXPECT_EQ(form->edt2->text(), "0");
    EXPECT_EQ(boxes.shown,
              std::vector<Shown>(3, Shown{Kind::Plain, "Must be a number between 0-255 !"}));
    EXPECT_EQ(form->CurrentColor(), 0);
}
