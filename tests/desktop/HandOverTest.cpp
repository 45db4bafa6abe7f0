// Files handed over by later starts to the real window, offscreen, while a
// modal dialog blocks it: kept, and opened when the dialog closes.

#include "support/MainWindowTest.h"

#include "app/TfrmMain.h"
#include "base/TextCodec.h"
#include "desktop/HandOver.h"

#include <QDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class HandOverWindow : public MainWindowTest {
protected:
    // A user ringing file of a few columns named `name` inside.
    QString ringing(const QString& name) const {
        const QString path = files.path() + u'/' + name + QStringLiteral(".ukl");
        writeTextLines(path, {QStringLiteral("111110000000000"), QStringLiteral("bbmssnnnnnnnnnn"), name,
                              QStringLiteral("200"), QStringLiteral("s1"), QString(), QStringLiteral("s2")});
        return path;
    }
    static QString titleOf(const QString& name) { return QStringLiteral("Campanix 1.2 - ") + name; }

    QTemporaryDir files;
};

// Under the window's own "not a ringing" message (opened window-modal) and
// under a dialog run by exec() (as the recording dialog is), a file handed
// over waits; it opens once the dialog has closed, and one handed over to an
// unblocked window opens at once.
TEST_F(HandOverWindow, FileHandedOverUnderAModalDialogOpensWhenItCloses) {
    TfrmMain& w = startWith({});
    w.show();
    HandOver handOver(w, [&w](const QString& file) { w.OpenUserRinging(file); });

    const QString junk = files.path() + QStringLiteral("/junk.ukl");
    writeTextLines(junk, {QStringLiteral("hello")});
    w.OpenUserRinging(junk);
    auto* box = w.findChild<QMessageBox*>(QStringLiteral("msgOpenFailure"));
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(waitFor([&] { return box->isVisible(); }));
    handOver.receive(ringing(QStringLiteral("Первый")));
    waitFor([] { return false; }, 100);
    EXPECT_NE(w.windowTitle(), titleOf(QStringLiteral("Первый")));
    EXPECT_EQ(handOver.pending().size(), 1);
    box->accept();
    EXPECT_TRUE(waitFor([&] { return w.windowTitle() == titleOf(QStringLiteral("Первый")); }));
    EXPECT_TRUE(handOver.pending().isEmpty());
    w.btnStopClick();

    QDialog dialog(&w);
    dialog.setModal(true);
    QTimer::singleShot(0, &dialog, [&] {
        handOver.receive(ringing(QStringLiteral("Второй")));
        EXPECT_EQ(w.windowTitle(), titleOf(QStringLiteral("Первый")));
        QTimer::singleShot(50, &dialog, &QDialog::accept);
    });
    dialog.exec();
    EXPECT_TRUE(waitFor([&] { return w.windowTitle() == titleOf(QStringLiteral("Второй")); }));
    w.btnStopClick();

    handOver.receive(ringing(QStringLiteral("Третий")));
    EXPECT_EQ(w.windowTitle(), titleOf(QStringLiteral("Третий")));
    w.btnStopClick();
}

} // namespace
