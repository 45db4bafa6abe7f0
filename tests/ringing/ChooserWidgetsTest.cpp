#include "base/TextCodec.h"
#include "ringing/SelectorKeyFilter.h"
#include "ringing/TfrmSelSound.h"
#include "support/TestProgram.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

// Qt keeps font caches alive past the application object; they are not
// leaks of the code under test.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libQt6Gui\nleak:libQt6Widgets\nleak:libfreetype\nleak:libharfbuzz\nleak:libfontconfig\n";
}

namespace {

// The widget application is shared with the window tests of this executable,
// so the tests run in any order.
class ChooserWidgets : public ::testing::Test {
protected:
    void SetUp() override { ensureQtApplication(); }
};

class KeyRecorder : public QObject {
public:
    QStringList texts;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            texts << static_cast<QKeyEvent*>(event)->text();
        }
        return false;
    }
};

struct ListFolder {
    QTemporaryDir dir;
    QString custom() const { return dir.path() + QStringLiteral("/Custom/"); }
    ListFolder() {
        QDir(dir.path()).mkpath(QStringLiteral("Custom"));
        writeTextLines(custom() + "list.kli", {"Первый", "", "Второй", "Короткий"});
        writeTextLines(custom() + "Первый.kol", {"111110000000000", "bbmssnnnnnnnnnn", "Первый звон",
                                                 "Описание первого", "144", "s1"});
        writeTextLines(custom() + "Второй.kol",
                       {"111110000000000", "bbmssnnnnnnnnnn", "Второй звон", "Описание второго", "200"});
        writeTextLines(custom() + "Короткий.kol", {"111110000000000", "bbmssnnnnnnnnnn"});
    }
};

} // namespace

// Typed "1".."3" reach a group selector as character 255; other keys pass.
TEST_F(ChooserWidgets, SelectorKeyFilterReplacesGroupDigits) {
    QComboBox combo;
    KeyRecorder recorder;
    combo.installEventFilter(&recorder);
    SelectorKeyFilter filter;
    combo.installEventFilter(&filter);
    for (const char* text : {"1", "2", "3", "4", "a"}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString::fromLatin1(text));
        QCoreApplication::sendEvent(&combo, &press);
    }
    const QString ff(QChar(0xFF));
    EXPECT_EQ(recorder.texts, (QStringList{ff, ff, ff, "4", "a"}));
}

// Opening fills the list (blank lines skipped), highlights the first ringing
// and shows its description, an empty line and its name.
TEST_F(ChooserWidgets, ShowsTheHighlightedRinging) {
    ListFolder f;
    TfrmSelSound chooser;
    chooser.setCustomDir(f.custom());
    chooser.fillList(f.custom() + "list.kli");
    ASSERT_EQ(chooser.lbSounds->count(), 3);
    EXPECT_EQ(chooser.selectedName(), "Первый");
    EXPECT_EQ(chooser.mDesc->toPlainText(), "Описание первого\n\nПервый звон");
    EXPECT_EQ(chooser.highlightedText().size(), 6);

    // A file shorter than its preamble says so in the memo and leaves nothing to load.
    chooser.lbSounds->setCurrentRow(2);
    EXPECT_EQ(chooser.mDesc->toPlainText(), QStringLiteral("Файл звона «Короткий.kol» повреждён и не загружен."));
    EXPECT_TRUE(chooser.highlightedText().isEmpty());
    EXPECT_FALSE(chooser.btnLoad->isEnabled());

    // A ringing whose file is gone says so and keeps nothing of the one before.
    chooser.lbSounds->setCurrentRow(1);
    EXPECT_TRUE(chooser.btnLoad->isEnabled());
    QFile::remove(f.custom() + "Первый.kol");
    chooser.lbSounds->setCurrentRow(0);
    EXPECT_EQ(chooser.mDesc->toPlainText(), QStringLiteral("Файл звона «Первый.kol» не найден."));
    EXPECT_TRUE(chooser.highlightedText().isEmpty());
    EXPECT_FALSE(chooser.btnLoad->isEnabled());

    // Play-all-in-turn moves on and wraps to the first.
    chooser.lbSounds->setCurrentRow(2);
    chooser.selectNext();
    EXPECT_EQ(chooser.selectedName(), "Первый");
    chooser.selectNext();
    EXPECT_EQ(chooser.selectedName(), "Второй");
}

// Load hands over the kept text, then plays and closes; a failed load keeps it open.
TEST_F(ChooserWidgets, LoadsTheKeptTextThenPlays) {
    ListFolder f;
    TfrmSelSound chooser;
    chooser.setCustomDir(f.custom());
    QStringList loaded;
    bool accept = false;
    int plays = 0;
    chooser.setLoader([&](const QStringList& lines) {
        loaded = lines;
        return accept;
    });
    chooser.setPlay([&] { ++plays; });
    chooser.fillList(f.custom() + "list.kli");
    chooser.show();

    chooser.btnLoadClick();
    EXPECT_EQ(loaded.value(2), "Первый звон");
    EXPECT_EQ(plays, 0);
    EXPECT_TRUE(chooser.isVisible());

    accept = true;
    chooser.btnLoadClick();
    EXPECT_EQ(plays, 1);
    EXPECT_FALSE(chooser.isVisible());
    EXPECT_EQ(chooser.result(), QDialog::Accepted);
}

// Load never hands over a ringing that is not the highlighted one: not after
// an unreadable highlight, not when list.kli is missing or empty (each after
// a readable ringing was shown and kept).
TEST_F(ChooserWidgets, LoadDoesNothingWithoutAReadableHighlight) {
    ListFolder f;
    TfrmSelSound chooser;
    chooser.setCustomDir(f.custom());
    int loads = 0;
    chooser.setLoader([&](const QStringList&) {
        ++loads;
        return true;
    });
    const QString list = f.custom() + "list.kli";
    const std::function<void()> spoilers[] = {
        [&] {
            QFile::remove(f.custom() + "Первый.kol");
            chooser.fillList(list);
        },
        [&] {
            QFile::remove(list);
            chooser.fillList(list);
        },
        [&] {
            writeTextLines(list, {});
            chooser.fillList(list);
        },
        [&] {
            writeTextLines(list, {"", "  "});
            chooser.fillList(list);
        },
    };
    for (const auto& spoil : spoilers) {
        writeTextLines(list, {"Второй"});
        chooser.fillList(list);
        ASSERT_TRUE(chooser.hasLoadableRinging());
        writeTextLines(list, {"Первый"});
        writeTextLines(f.custom() + "Первый.kol",
                       {"111110000000000", "bbmssnnnnnnnnnn", "Первый звон", "О", "144"});
        spoil();
        // Empty, or the reason the highlighted ringing cannot be loaded.
        EXPECT_FALSE(chooser.mDesc->toPlainText().contains(QStringLiteral("Первый звон")));
        EXPECT_FALSE(chooser.btnLoad->isEnabled());
        chooser.btnLoadClick();
        EXPECT_EQ(loads, 0);
    }
}
