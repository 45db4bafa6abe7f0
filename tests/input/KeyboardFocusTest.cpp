// Keyboard ringing takes keys only from the main window: keys typed into a
// dialog's text field or an open menu reach them and change no bell. The keys
// go in as the window system delivers them (to a window, through the
// application's filters), just as a user's presses do.

#include "app/TfrmMain.h"
#include "bells/BellsPanel.h"
#include "support/MainWindowTest.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>
#include <QVBoxLayout>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>

namespace {

void keyClick(QWindow* window, int key, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(window, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(window, &release);
}

void keyClicks(QWindow* window, const QString& text) {
    for (QChar c : text) {
        const int key = c == u' ' ? int(Qt::Key_Space) : int(Qt::Key_A) + (c.toLower().unicode() - u'a');
        keyClick(window, key, QString(c));
    }
}

bool activate(QWidget* window) {
    window->show();
    window->activateWindow();
    return waitFor([window] { return QApplication::activeWindow() == window; }, 2000);
}

class KeyboardFocus : public MainWindowTest {
protected:
    // Bells 2, 13 and 14 selected; bell 2 rings from C, the current bell is 0.
    TfrmMain& startActive() {
        program.writeBells(QStringLiteral("001000000000011"), QStringLiteral("nnnnnnnnnnnnnnn"));
        startWith({});
        EXPECT_TRUE(activate(frm.get()));
        return *frm;
    }
    QString ensembleText() const { return frm->ensemble().bellsText(); }
};

} // namespace

// The main window itself still rings: the gate lets its own keys through.
TEST_F(KeyboardFocus, MainWindowKeysRing) {
    TfrmMain& w = startActive();
    keyClick(w.windowHandle(), Qt::Key_Right);
    EXPECT_EQ(w.bells().currentBell(), 1);
    keyClick(w.windowHandle(), Qt::Key_C, QStringLiteral("c"));
    EXPECT_EQ(w.bells().currentBell(), 2);
    keyClick(w.windowHandle(), Qt::Key_Space);
    EXPECT_FALSE(w.ensemble().isSelected(2));
}

// A dialog's name field gets Space, the arrows and letters as typed; the
// marked bell, the selection and the strike keys stay as they were.
TEST_F(KeyboardFocus, DialogTextFieldKeepsItsKeys) {
    TfrmMain& w = startActive();
    const QString before = ensembleText();

    QDialog dialog(&w);
    auto* layout = new QVBoxLayout(&dialog);
    auto* name = new QLineEdit(&dialog);
    auto* count = new QSpinBox(&dialog);
    layout->addWidget(name);
    layout->addWidget(count);
    ASSERT_TRUE(activate(&dialog));
    name->setFocus();

    QWindow* window = dialog.windowHandle();
    keyClicks(window, QStringLiteral("c c"));
    keyClick(window, Qt::Key_Left);
    keyClick(window, Qt::Key_Left);
    keyClick(window, Qt::Key_X, QStringLiteral("x"));
    EXPECT_EQ(name->text(), QStringLiteral("cx c"));
    EXPECT_EQ(name->cursorPosition(), 2);

    count->setFocus();
    keyClick(window, Qt::Key_Up);
    keyClick(window, Qt::Key_Up);
    EXPECT_EQ(count->value(), 2);

    EXPECT_EQ(w.bells().currentBell(), 0);
    EXPECT_EQ(ensembleText(), before);
}

// An open menu moves with the arrows; the bell mark does not, and a letter
// typed into the menu strikes nothing.
TEST_F(KeyboardFocus, OpenMenuKeepsItsKeys) {
    TfrmMain& w = startActive();
    QMenu* menu = control<QMenu>(w, "mBellsMenu");
    ASSERT_NE(menu, nullptr);
    menu->popup(w.mapToGlobal(QPoint(10, 10)));
    ASSERT_TRUE(waitFor([menu] { return menu->windowHandle() && menu->windowHandle()->isExposed(); }, 2000));
    ASSERT_EQ(QApplication::activePopupWidget(), menu);

    keyClick(menu->windowHandle(), Qt::Key_Right);
    keyClick(menu->windowHandle(), Qt::Key_Right);
    keyClick(menu->windowHandle(), Qt::Key_C, QStringLiteral("c"));
    keyClick(menu->windowHandle(), Qt::Key_Space);
    EXPECT_EQ(w.bells().currentBell(), 0);
    EXPECT_TRUE(w.ensemble().isSelected(2));
    menu->close();

    // With the menu closed the same keys ring again.
    ASSERT_TRUE(waitFor([] { return QApplication::activePopupWidget() == nullptr; }, 2000));
    keyClick(w.windowHandle(), Qt::Key_Right);
    EXPECT_EQ(w.bells().currentBell(), 1);
}
