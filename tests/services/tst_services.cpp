#include "../common/files.h"
#include "../common/childProcess.h"

#include <zadururu/services/debuggerWin.h>
#include <zadururu/services/eventLogger.h>
#include <zadururu/services/outputMessage.h>
#include <zadururu/services/programSettings.h>

#include <QGridLayout>
#include <QPushButton>
#include <QTextEdit>

// Every getter, as "key=value" under the key the settings file uses.
static QStringList settings()
{
    ProgramSettings *s = ProgramSettings::instance();
    const auto colour = [](const QColor &c) { return c.isValid() ? c.name() : QStringLiteral("invalid"); };
    return {"libdir=" + s->getLibDir(), "bgcolor=" + colour(s->getBgColor()), "itmcolor=" + colour(s->getItmColor()),
            "workdir=" + s->getWorkDir(), "SceneRectWidth=" + QString::number(s->getSceneWidth()),
            "SceneRectHeight=" + QString::number(s->getSceneHeight()),
            "writeLogFile=" + QString::number(s->isWriteLogFile()), "comport=" + s->getPortName(),
            "project=" + s->getCurrentProjectLibDir()};
}

class tst_Services : public QObject
{
    Q_OBJECT

    QScopedPointer<QTemporaryDir> m_dir;

    QString home() const { return m_dir->filePath("home"); }
    QString ini() const { return m_dir->filePath("work/korvela.ini"); }

private slots:
    void init()
    {
        if (inChild())
            return;
        m_dir.reset(new QTemporaryDir);
        QVERIFY(QDir().mkpath(home()) && QDir().mkpath(m_dir->filePath("work")));
    }

    // Each row stores @p stored (none: no file) and expects the defaults with
    // the line of @p expected's key replaced by it.
    void settingsRead_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no file") << QByteArray() << "";
        QTest::newRow("log true is 0") << QByteArray("writeLogFile=true") << "writeLogFile=0";
        QTest::newRow("log 2") << QByteArray("writeLogFile=2") << "writeLogFile=1";
        QTest::newRow("width abc") << QByteArray("SceneRectWidth=abc") << "SceneRectWidth=0";
        QTest::newRow("height") << QByteArray("SceneRectHeight=640") << "SceneRectHeight=640";
        QTest::newRow("bgcolor junk") << QByteArray("bgcolor=nocolour") << "bgcolor=invalid";
        QTest::newRow("itmcolor name") << QByteArray("itmcolor=red") << "itmcolor=#ff0000";
        QTest::newRow("workdir") << QByteArray("workdir=/srv/work") << "workdir=/srv/work";
        QTest::newRow("libdir") << QByteArray("libdir=/opt/lib") << "libdir=/opt/lib";
        QTest::newRow("comport is not read") << QByteArray("comport=ttyUSB0") << "";
        QTest::newRow("malformed file") << QByteArray("\x01\x02[[[\n=\n==x") << "";
    }

    void settingsRead()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, expected);
        if (!inChild()) {
            QVERIFY(stored.isNull() || writeAll(ini(), "[General]\n" + stored + '\n'));
            QVERIFY_IN_CHILD(home(), m_dir->filePath("work"));
            QVERIFY(!stored.isNull() || !QFileInfo::exists(ini())); // reading creates no file
            return;
        }
        const QString home = QDir::homePath();
        QStringList lines{"libdir=" + home + "/TarnwickLibrary", "bgcolor=#ffffff", "itmcolor=#cdff6e",
                          "workdir=" + home, "SceneRectWidth=1700", "SceneRectHeight=1200", "writeLogFile=0",
                          "comport=", "project=none"};
        for (QString &line : lines)
            if (!expected.isEmpty() && line.section('=', 0, 0) == expected.section('=', 0, 0))
                line = expected;
        QCOMPARE(settings(), lines);
        QVERIFY(QFileInfo(home + "/TarnwickLibrary").isDir());
        QCoreApplication::processEvents();
    }

    // The file as the settings write it, after the setters of a row.
    void settingsWritten_data()
    {
        QTest::addColumn<bool>("everySetter");
        QTest::addColumn<QString>("expected");
        QTest::newRow("one setter") << false
                                    << "SceneRectHeight=1200\nSceneRectWidth=800\nbgcolor=#ffffff\ncomport=\n"
                                       "itmcolor=#cdff6e\nlibdir=$HOME/TarnwickLibrary\nworkdir=$HOME\nwriteLogFile=0\n";
        QTest::newRow("every setter") << true
                                      << "SceneRectHeight=640\nSceneRectWidth=1700\nbgcolor=#000000\ncomport=ttyS0\n"
                                         "itmcolor=#12abef\nlibdir=/l\nworkdir=/w\nwriteLogFile=1\n";
    }

    void settingsWritten()
    {
        QFETCH(bool, everySetter);
        QFETCH(QString, expected);
        if (!inChild()) {
            QVERIFY_IN_CHILD(home(), m_dir->filePath("work"));
            QCOMPARE(QString::fromUtf8(readAll(ini())), "[General]\n" + QString(expected).replace("$HOME", home()));
            return;
        }
        ProgramSettings *s = ProgramSettings::instance();
        if (everySetter) {
            s->setWorkdir("/w");
            s->setLibdir("/l");
            s->setPortName("ttyS0");
            s->setBgColor(QColor()); // an invalid colour is stored as black
            s->setItemColor(QColor(0x12, 0xab, 0xef));
            s->setSceneHeight(640);
            s->setWriteLogFile(true);
            s->setCurrentProjectLibDir("/p"); // memory only
            QCOMPARE(settings().mid(6), QStringList({"writeLogFile=1", "comport=ttyS0", "project=/p"}));
        } else {
            s->setSceneWidth(800);
        }
        QCoreApplication::processEvents(); // the store writes on its own schedule
    }

    // The stored switch is on; the log starts off until an EventLogger takes it.
    void eventLog()
    {
        if (!inChild()) {
            QVERIFY(writeAll(ini(), "[General]\nwriteLogFile=1\n"));
            QVERIFY_IN_CHILD(home(), m_dir->filePath("work"));
            return;
        }
        const QString log = QDir::homePath() + "/korvelalog.txt";
        EventLogger::logData("before");
        EventLogger::logData(PlainValue, "before");
        QVERIFY(!QFileInfo::exists(log));
        EventLogger logger;
        EventLogger::logData("first");
        ProgramSettings::instance()->setWriteLogFile(false);
        EventLogger::logData("lost");
        EventLogger::logData(LoadingBlock, 1);
        ProgramSettings::instance()->setWriteLogFile(true);
        EventLogger::logData(LoadingBlock, 7);
        EventLogger::deactivate();
        EventLogger::logData("lost");
        EventLogger::activate();
        EventLogger::logData(PlainValue, "abc");
        const QString t = "\\d\\d:\\d\\d:\\d\\d";
        const QString text = QString::fromUtf8(readAll(log));
        const QRegularExpression layout("^\n" + t + " ### NEW_SESSION ###\n\n" + t + " Debug: first\n" + t
                                        + " Debug: Loading Block With Number : 7\n" + t + " Debug: abc\n$");
        QVERIFY2(layout.match(text).hasMatch(), qPrintable(text));

        // A home that is a regular file: every entry is lost with a debug message.
        qputenv("HOME", log.toLocal8Bit());
        QTest::ignoreMessage(QtDebugMsg, "File open error");
        QTest::ignoreMessage(QtDebugMsg, "File open error");
        EventLogger::logData("one");
        EventLogger::logData(LoadingBlock, 2);
    }

    void messages_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("box");
        const QString w = " | 2 | 1024 | -", check = " Check your server settings.", pick = " Please select another one.";
        QTest::newRow("0") << 0 << " | Component Not Exists. Code: 0 | The component is not available for current project. "
                                   "Switch active project to see available components" + w;
        QTest::newRow("1") << 1 << " | Cannot Create Database. Code: 1 | Cannot create database structure." + check + w;
        QTest::newRow("2") << 2 << " | Database Error. Code: 2 | Cannot connect to database." + check + w;
        QTest::newRow("3") << 3 << " | Tagname Used. Code: 3 | This tagname is used before." + pick + w;
        QTest::newRow("4") << 4 << " | Channel Name Used. Code: 4 | This channel name is used before." + pick + w;
        QTest::newRow("5") << 5 << " | Alarmname Used. Code: 5 | This alarmname is used before." + pick + w;
        QTest::newRow("6 ignores the detail") << 6 << " | SQL Query. Code: 6 | Error with SQL query" + w;
        QTest::newRow("7 with the detail") << 7 << " | File Error. Code: 7 | File is broken: pages/main" + w;
        QTest::newRow("8") << 8 << " | Database Init Ok | Project database is created succesfully | 1 | 1024 | -";
        QTest::newRow("9") << 9 << " | . Code: 9 |  | 0 | 1024 | -";
        QTest::newRow("-1") << -1 << " | . Code: -1 |  | 0 | 1024 | -";
    }

    void messages()
    {
        QFETCH(int, code);
        QFETCH(QString, box);
        QString detail = "pages/main";
        QCOMPARE(shownBoxes([&] { OutputMessage::message(code, &detail); }), QStringList(box));
    }

    void debuggerWindow()
    {
        DebuggerWin *win = DebuggerWin::instance();
        QCOMPARE(DebuggerWin::instance(), win);
        QVERIFY(!win->isVisible());
        QCOMPARE(win->objectName() + ' ' + win->windowTitle(), QStringLiteral("DebuggerWin Dialog"));
        auto close = win->findChild<QPushButton *>("pushButton_close");
        auto out = win->findChild<QTextEdit *>("textEdit_out");
        auto grid = win->findChild<QGridLayout *>("gridLayout");
        QVERIFY(close && out && grid);
        QCOMPARE(close->text(), QStringLiteral("Close"));
        const auto place = [grid](QWidget *widget) {
            int row, column, rows, columns;
            grid->getItemPosition(grid->indexOf(widget), &row, &column, &rows, &columns);
            return QList<int>{row, column, rows, columns};
        };
        QCOMPARE(place(out) + place(close), QList<int>({0, 0, 1, 2, 1, 1, 1, 1}));

        win->write("first line");
        QVERIFY(win->isVisible() && !win->isModal());
        QCOMPARE(win->size(), QSize(400, 300));
        close->click();
        QVERIFY(!win->isVisible());
        win->write("second line");
        QVERIFY(win->isVisible());
        QCOMPARE(out->toPlainText(), QStringLiteral("first line\nsecond line")); // two paragraphs
    }
};

QTEST_MAIN(tst_Services)
#include "tst_services.moc"
