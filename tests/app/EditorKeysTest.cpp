// The score editor under real keys (shortcuts first, as the window system
// delivers them): keys with a modifier never write a strike, the cursor keys
// move the edit cursor and the staves show its page, a line of strikes is
// typed without arrows, and Space plays and stops.

#include "app/EditorWindowFixture.h"

#include "playback/TransportPanel.h"

#include <QAction>
#include <QUndoStack>

namespace {

class EditorKeys : public EditorWindow {
protected:
    TfrmMain& startEditing(int bars = 0) {
        TfrmMain& w = start();
        activate(w);
        EXPECT_TRUE(waitFor([&w] { return QApplication::activeWindow() == &w; }));
        w.editor().newRinging();
        for (int i = 0; i < bars; ++i) {
            w.editor().selectColumns(w.editor().ringing().columnCount() - 1,
                                     w.editor().ringing().columnCount() - 1);
            w.editor().insertBar();
        }
        w.editor().undoStack().clear();
        w.editor().selectColumns(0, 0);
        return w;
    }
};

// Ctrl+Z with nothing to undo, Ctrl+Shift+Z with nothing to redo and Ctrl+A
// write nothing and keep the redo history; undo and redo themselves still
// work by their keys.
TEST_F(EditorKeys, KeysWithAModifierNeverWriteAStrike) {
    TfrmMain& w = startEditing();
    ScoreEditor& editor = w.editor();
    const QStringList empty = w.channels().common();

    typeKey(w, Qt::Key_Z, Qt::ControlModifier);
    typeKey(w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(w.channels().common(), empty);
    EXPECT_EQ(editor.undoStack().count(), 0);

    clickSmall(w, 0, 1);
    ASSERT_EQ(w.commonScoreLine(0), QStringLiteral("s1"));
    typeKey(w, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.commonScoreLine(0), QString());
    ASSERT_TRUE(editor.undoStack().canRedo());
    // Nothing left to undo: no strike of bell Z, and the redo stays.
    typeKey(w, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(w.channels().common(), empty);
    EXPECT_TRUE(editor.undoStack().canRedo());
    typeKey(w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(w.commonScoreLine(0), QStringLiteral("s1"));
    typeKey(w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(w.commonScoreLine(0), QStringLiteral("s1"));
    EXPECT_EQ(editor.undoStack().count(), 1);

    // Keys of selected bells with a modifier that is no shortcut (every
    // bell key with each modifier: tests/bells/ModifiedKeysTest.cpp).
    const QStringList before = w.channels().common();
    editor.selectColumns(5, 5);
    typeKey(w, Qt::Key_K, Qt::ControlModifier);
    typeKey(w, Qt::Key_L, Qt::AltModifier);
    typeKey(w, Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(w.channels().common(), before);
    EXPECT_EQ(editor.undoStack().count(), 1);
    // Ctrl+A selects the whole ringing, and writes nothing.
    typeKey(w, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(editor.selectedColumns(), std::make_optional(std::make_pair(0, 63)));
    EXPECT_EQ(w.channels().common(), before);
    // Without a modifier a bell's key writes (the harness delivers keys).
    editor.selectColumns(7, 7);
    typeKey(w, Qt::Key_O);
    EXPECT_EQ(w.commonScoreLine(7), QStringLiteral("s1"));
}

// Arrows, Home/End and PageUp/PageDown move the edit cursor; the staves
// follow its page, so a click edits the column drawn where it lands.
TEST_F(EditorKeys, TheStavesShowTheEditCursorsPage) {
    TfrmMain& w = startEditing(4);
    ScoreEditor& editor = w.editor();
    ASSERT_EQ(editor.ringing().columnCount(), 128);
    struct Step {
        int key;
        Qt::KeyboardModifiers modifiers;
        int cursor;
    };
    const Step steps[] = {
        {Qt::Key_End, Qt::NoModifier, 127},     // the last column
        {Qt::Key_Right, Qt::NoModifier, 127},   // kept at the end
        {Qt::Key_Home, Qt::NoModifier, 0},      // the first
        {Qt::Key_Left, Qt::NoModifier, 0},      // kept at the start
        {Qt::Key_PageDown, Qt::NoModifier, 64}, // a page on
        {Qt::Key_Left, Qt::NoModifier, 63},     // back over the boundary
        {Qt::Key_Right, Qt::NoModifier, 64},    // and on again
        {Qt::Key_PageUp, Qt::NoModifier, 0},    // a page back
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.cursor);
        typeKey(w, step.key, step.modifiers);
        ASSERT_EQ(editor.selectedColumns(), std::make_optional(std::make_pair(step.cursor, step.cursor)));
        EXPECT_EQ(w.transport().state().currentPage, step.cursor / 64);
        EXPECT_EQ(w.scoreView()->drawnPage(), step.cursor / 64);
    }
    // Over the boundary by arrows, then a click on the fifth column drawn.
    editor.selectColumns(63, 63);
    typeKey(w, Qt::Key_Right);
    clickSmall(w, 68, 1);
    EXPECT_EQ(w.commonScoreLine(68), QStringLiteral("s1"));
    EXPECT_EQ(w.commonScoreLine(4), QString());
    // Shift extends the selection over pages.
    typeKey(w, Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(editor.selectedColumns(), std::make_optional(std::make_pair(0, 68)));
}

// A bell's key writes at the cursor, which moves on (the setting), so a line
// is typed without arrows; with the setting off the cursor stays.
TEST_F(EditorKeys, KeyStrikesMoveTheCursorOn) {
    TfrmMain& w = startEditing();
    ScoreEditor& editor = w.editor();
    editor.selectColumns(62, 62);
    typeKey(w, Qt::Key_O); // bell 14: s1
    typeKey(w, Qt::Key_N); // bell 13: s2
    typeKey(w, Qt::Key_O); // at the last column: the cursor stays there
    EXPECT_EQ(w.commonScoreLine(62), QStringLiteral("s1"));
    EXPECT_EQ(w.commonScoreLine(63), QStringLiteral("s2,s1"));
    EXPECT_EQ(editor.selectedColumns(), std::make_optional(std::make_pair(63, 63)));

    editor.setAdvancesAfterKey(false);
    editor.selectColumns(10, 10);
    typeKey(w, Qt::Key_O);
    typeKey(w, Qt::Key_N);
    EXPECT_EQ(w.commonScoreLine(10), QStringLiteral("s1,s2"));
    EXPECT_EQ(editor.selectedColumns(), std::make_optional(std::make_pair(10, 10)));
}

// Space plays from the cursor and stops; «Играть выделенное» ends with the
// selection; «Повторять выделенное» goes round until Stop, Pause or Play.
TEST_F(EditorKeys, SelectionPlayingEndsAndLoopsStopOnEveryTransportKey) {
    TfrmMain& w = startEditing();
    ScoreEditor& editor = w.editor();
    TransportPanel& transport = w.transport();
    for (int c = 0; c < 64; ++c) {
        editor.toggleToken(c, QStringLiteral("s1"));
    }
    editor.setInterval(50);
    int furthest = -1;
    const auto playingTracked = [&] {
        furthest = std::max(furthest, transport.state().currentColumn);
        return transport.isPlaying();
    };

    // F5 over columns 8..11: plays them, then stops.
    editor.selectColumns(8, 11);
    editor.actions().playSelection->trigger();
    ASSERT_TRUE(waitFor([&] { return transport.isPlaying(); }, 10000));
    EXPECT_TRUE(waitFor([&] { return !playingTracked(); }, 3000));
    EXPECT_LE(furthest, 11);

    // Ctrl+F5 goes round; each of Stop, Pause and Play ends the round.
    using Action = std::function<void()>;
    const std::pair<const char*, Action> ends[] = {
        {"Stop", [&] { w.btnStopClick(); }},
        {"Pause", [&] { w.btnPauseClick(); }},
        {"Space", [&] { typeKey(w, Qt::Key_Space); }},
    };
    for (const auto& [what, end] : ends) {
        SCOPED_TRACE(what);
        editor.selectColumns(8, 11);
        editor.actions().loopSelection->trigger();
        ASSERT_TRUE(waitFor([&] { return transport.isPlaying(); }, 10000));
        furthest = -1;
        // Two rounds of four columns at 50 ms: still playing, never past 11.
        waitFor([&] { return !playingTracked(); }, 450);
        EXPECT_TRUE(transport.isPlaying());
        EXPECT_LE(furthest, 11);
        end();
        EXPECT_FALSE(transport.isPlaying());
        EXPECT_FALSE(waitFor([&] { return transport.isPlaying(); }, 250));
    }
    // Play while it goes round: the ringing plays on past the selection.
    editor.selectColumns(8, 11);
    editor.actions().loopSelection->trigger();
    ASSERT_TRUE(waitFor([&] { return transport.isPlaying(); }, 10000));
    w.btnPlayClick();
    furthest = -1;
    EXPECT_TRUE(waitFor([&] { return playingTracked() && furthest > 20; }, 3000));
    w.btnStopClick();
}

} // namespace
