#pragma once

// The main window over a small program folder whose common list offers the
// ringings a test writes, shown offscreen so that the staves have sizes.

#include "app/TfrmMain.h"
#include "base/TextCodec.h"
#include "output/OutputController.h"
#include "support/MainWindowTest.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QTimer>

#include <functional>
#include <memory>

// The warnings of the output subsystem's log category while it lives: the
// failures the user is not told of must still be logged.
class OutputWarnings {
public:
    OutputWarnings() : m_previous(qInstallMessageHandler(&collect)) { s_active = this; }
    ~OutputWarnings() {
        qInstallMessageHandler(m_previous);
        s_active = nullptr;
    }
    OutputWarnings(const OutputWarnings&) = delete;
    OutputWarnings& operator=(const OutputWarnings&) = delete;

    QStringList messages;

private:
    static void collect(QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (s_active && type == QtWarningMsg && qstrcmp(context.category, "campanix.output") == 0) {
            s_active->messages << text;
        }
    }
    static inline OutputWarnings* s_active = nullptr;
    QtMessageHandler m_previous;
};

class OutputWindow : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        // Bells 0, 1 big, 2, 3 middle, 4, 5 small.
        program.writeBells(QStringLiteral("111111000000000"), QStringLiteral("bbmmssnnnnnnnnn"));
    }

    // A common ringing of `columns` columns at `interval` ms, striking
    // s1, m1, b1 in turn, offered under `name`.
    struct Ringing {
        QString name;
        int columns;
        int interval = 144;
    };
    void writeCommonList(const QList<Ringing>& ringings) {
        QStringList list;
        for (int i = 0; i < ringings.size(); ++i) {
            const QString file = QStringLiteral("r%1.kol").arg(i);
            list << QStringLiteral("000;%1;%2").arg(ringings[i].name, file);
            QStringList body{QString::number(ringings[i].interval)};
            const char* tokens[] = {"s1", "m1", "b1"};
            for (int c = 0; c < ringings[i].columns; ++c) {
                body << QString::fromLatin1(tokens[c % 3]);
            }
            writeTextLines(program.dir() + QStringLiteral("Campanel/") + file, body);
        }
        writeTextLines(program.dir() + QStringLiteral("Campanel/common.kli"), list);
    }

    TfrmMain& start(const QStringList& arguments = {}) {
        startWith(arguments);
        frm->resize(1100, 760);
        frm->show();
        QApplication::processEvents();
        return *frm;
    }

    QComboBox* common() const { return control<QComboBox>(*frm, "cbCommon"); }

    void choose(int item) {
        common()->setCurrentIndex(item);
        frm->cbCommonChange();
    }

    // Runs the event loop until `done` holds or the time is up.
    static bool waitFor(const std::function<bool()>& done, int milliseconds = 20000) {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
            if (done()) {
                loop.quit();
            }
        });
        QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        poll.start(5);
        loop.exec();
        return done();
    }
};
