#include <zadururu/services/debuggerWin.h>
#include <zadururu/services/eventLogger.h>
#include <zadururu/services/outputMessage.h>
#include <zadururu/services/programSettings.h>

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

#include <cstdio>

// The settings and the event log read the working and the home directory at
// first use, once per process: each of their scenarios runs in a child
// process of this test program with its own home and working directory.
namespace {

void print(const QString &line)
{
    std::fprintf(stdout, "%s\n", qPrintable(line));
}

void printSettings()
{
    ProgramSettings *s = ProgramSettings::instance();
    print("libdir=" + s->getLibDir());
    print("bgcolor=" + s->getBgColor().name() + (s->getBgColor().isValid() ? "" : " invalid"));
    print("itmcolor=" + s->getItmColor().name() + (s->getItmColor().isValid() ? "" : " invalid"));
    print("workdir=" + s->getWorkDir());
    print("width=" + QString::number(s->getSceneWidth()));
    print("height=" + QString::number(s->getSceneHeight()));
    print("log=" + QString::number(s->isWriteLogFile()));
    print("port=" + s->getPortName());
    print("project=" + s->getCurrentProjectLibDir());
}

// Runs in the child; returns its exit code.
int runScenario(const QString &name)
{
    if (name == "print") {
        printSettings();
    } else if (name == "write") {
        ProgramSettings *s = ProgramSettings::instance();
        s->setPortName("ttyS0");
        s->setCurrentProjectLibDir("/projects/a/lib");
        s->setSceneWidth(800);
        QCoreApplication::processEvents(); // the INI store writes on its own schedule
        printSettings();
    } else if (name == "invalidColour") {
        ProgramSettings::instance()->setBgColor(QColor());
        QCoreApplication::processEvents();
    } else if (name == "log") {
        EventLogger::logData("while off");
        EventLogger logger; // takes the stored switch: off
        EventLogger::logData("still off");
        ProgramSettings::instance()->setWriteLogFile(true);
        EventLogger::logData("first");
        EventLogger::logData(LoadingBlock, 7);
        EventLogger::logData(PlainValue, QStringLiteral("abc"));
        ProgramSettings::instance()->setWriteLogFile(false);
        EventLogger::logData("lost");
        EventLogger::activate();
        EventLogger::logData("again");
        QCoreApplication::processEvents();
    } else if (name == "logInit") {
        EventLogger logger; // the stored switch is on
        EventLogger::logData("from init");
    } else if (name == "logUnwritable") {
        EventLogger::activate();
        EventLogger::logData("one");
        EventLogger::logData(LoadingBlock, 2);
    } else {
        return 3;
    }
    return 0;
}

struct Child
{
    int exitCode = -1;
    QString out;
    QString err;
};

} // namespace

class tst_Services : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void settingsDefaults();
    void settingsWritten();
    void settingsRead_data();
    void settingsRead();
    void invalidColourWritesBlack();
    void eventLog();
    void eventLogFromStoredSwitch();
    void eventLogUnwritableHome();
    void messages_data();
    void messages();
    void debuggerWindow();

private:
    Child run(const QString &scenario, const QString &home = QString());
    QByteArray iniText() const;
    void writeIni(const QByteArray &text);
    QScopedPointer<QTemporaryDir> m_dir;
};

void tst_Services::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(QDir(m_dir->path()).mkpath("home"));
    QVERIFY(QDir(m_dir->path()).mkpath("work"));
}

Child tst_Services::run(const QString &scenario, const QString &home)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home.isNull() ? m_dir->filePath("home") : home);
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(m_dir->filePath("work"));
    p.start(QCoreApplication::applicationFilePath(), {"--scenario", scenario});
    Child c;
    if (!p.waitForFinished(30000))
        return c;
    c.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    c.out = QString::fromUtf8(p.readAllStandardOutput());
    c.err = QString::fromUtf8(p.readAllStandardError());
    return c;
}

QByteArray tst_Services::iniText() const
{
    QFile f(m_dir->filePath("work/korvela.ini"));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void tst_Services::writeIni(const QByteArray &text)
{
    QFile f(m_dir->filePath("work/korvela.ini"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(text);
}

void tst_Services::settingsDefaults()
{
    const Child c = run("print");
    QCOMPARE(c.exitCode, 0);
    const QString home = m_dir->filePath("home");
    const QString expected = QStringList{"libdir=" + home + "/TarnwickLibrary", "bgcolor=#ffffff",
                                         "itmcolor=#cdff6e", "workdir=" + home, "width=1700", "height=1200",
                                         "log=0", "port=", "project=none"}.join('\n') + '\n';
    QCOMPARE(c.out, expected);
    QVERIFY(QFileInfo(home + "/TarnwickLibrary").isDir());
    QVERIFY(!QFileInfo::exists(m_dir->filePath("work/korvela.ini")));
}

void tst_Services::settingsWritten()
{
    QCOMPARE(run("write").exitCode, 0);
    // An independent reader of the file: the plain INI text, then QSettings.
    const QByteArray text = iniText();
    const QStringList lines = QString::fromUtf8(text).split('\n', Qt::SkipEmptyParts);
    const QString home = m_dir->filePath("home");
    QCOMPARE(lines, (QStringList{"[General]", "SceneRectHeight=1200", "SceneRectWidth=800", "bgcolor=#ffffff",
                                 "comport=ttyS0", "itmcolor=#cdff6e", "libdir=" + home + "/TarnwickLibrary",
                                 "workdir=" + home, "writeLogFile=0"}));
    QSettings ini(m_dir->filePath("work/korvela.ini"), QSettings::IniFormat);
    QCOMPARE(ini.allKeys().size(), 8);
    QCOMPARE(ini.value("comport").toString(), QStringLiteral("ttyS0"));

    // A new process reads what was written, but not the port, and not the project directory.
    const Child again = run("print");
    QVERIFY(again.out.contains("\nwidth=800\n"));
    QVERIFY(again.out.contains("\nport=\n"));
    QVERIFY(again.out.contains("\nproject=none\n"));
    QVERIFY(again.out.contains("itmcolor=#cdff6e"));
}

void tst_Services::settingsRead_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("expectedLine");

    QTest::newRow("log true reads false") << QByteArray("writeLogFile=true\n") << "log=0";
    QTest::newRow("log 1") << QByteArray("writeLogFile=1\n") << "log=1";
    QTest::newRow("log 2") << QByteArray("writeLogFile=2\n") << "log=1";
    QTest::newRow("log -1") << QByteArray("writeLogFile=-1\n") << "log=1";
    QTest::newRow("log empty") << QByteArray("writeLogFile=\n") << "log=0";
    QTest::newRow("width abc") << QByteArray("SceneRectWidth=abc\n") << "width=0";
    QTest::newRow("height 12abc") << QByteArray("SceneRectHeight=12abc\n") << "height=0";
    QTest::newRow("height value") << QByteArray("SceneRectHeight=640\n") << "height=640";
    QTest::newRow("colour upper case") << QByteArray("bgcolor=#ABCDEF\n") << "bgcolor=#abcdef";
    QTest::newRow("colour name") << QByteArray("itmcolor=red\n") << "itmcolor=#ff0000";
    QTest::newRow("colour junk") << QByteArray("bgcolor=nocolour\n") << "bgcolor=#000000 invalid";
    QTest::newRow("port never read") << QByteArray("comport=ttyUSB0\n") << "port=";
    QTest::newRow("libdir") << QByteArray("libdir=/opt/lib\n") << "libdir=/opt/lib";
    QTest::newRow("malformed file") << QByteArray("\x01\x02[[[\n=\n==x\n") << "width=1700";
}

void tst_Services::settingsRead()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, expectedLine);
    writeIni("[General]\n" + ini);
    const Child c = run("print");
    QCOMPARE(c.exitCode, 0);
    QVERIFY2(c.out.split('\n').contains(expectedLine), qPrintable(c.out));
}

void tst_Services::invalidColourWritesBlack()
{
    QCOMPARE(run("invalidColour").exitCode, 0);
    QVERIFY2(iniText().contains("bgcolor=#000000"), iniText().constData());
}

void tst_Services::eventLog()
{
    const Child c = run("log");
    QCOMPARE(c.exitCode, 0);
    QFile f(m_dir->filePath("home/korvelalog.txt"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(f.readAll());
    const QString t = "\\d\\d:\\d\\d:\\d\\d";
    const QRegularExpression layout("^\n" + t + " ### NEW_SESSION ###\n\n"
                                    + t + " Debug: first\n"
                                    + t + " Debug: Loading Block With Number : 7\n"
                                    + t + " Debug: abc\n"
                                    + t + " Debug: again\n$");
    QVERIFY2(layout.match(text).hasMatch(), qPrintable(text));

    // A second process appends, with a header of its own.
    QCOMPARE(run("log").exitCode, 0);
    f.seek(0);
    const QString twice = QString::fromUtf8(f.readAll());
    QCOMPARE(twice.count("### NEW_SESSION ###"), 2);
    QVERIFY(twice.startsWith(text));
}

void tst_Services::eventLogFromStoredSwitch()
{
    writeIni("[General]\nwriteLogFile=1\n");
    QCOMPARE(run("logInit").exitCode, 0);
    QFile f(m_dir->filePath("home/korvelalog.txt"));
    QVERIFY(f.open(QIODevice::ReadOnly));
    QVERIFY(f.readAll().endsWith(" Debug: from init\n"));
}


void tst_Services::eventLogUnwritableHome()
{
    // A home that is a regular file: nothing can be created beneath it.
    const QString fileHome = m_dir->filePath("home-is-a-file");
    QFile blocker(fileHome);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const Child c = run("logUnwritable", fileHome);
    QCOMPARE(c.exitCode, 0);
    QCOMPARE(c.err.count("File open error"), 2);
}

void tst_Services::messages_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("informative");
    QTest::addColumn<int>("icon");

    const int warning = QMessageBox::Warning;
    QTest::newRow("0") << 0 << "Component Not Exists. Code: 0"
                       << "The component is not available for current project. Switch active project to see available components" << warning;
    QTest::newRow("1") << 1 << "Cannot Create Database. Code: 1" << "Cannot create database structure. Check your server settings." << warning;
    QTest::newRow("2") << 2 << "Database Error. Code: 2" << "Cannot connect to database. Check your server settings." << warning;
    QTest::newRow("3") << 3 << "Tagname Used. Code: 3" << "This tagname is used before. Please select another one." << warning;
    QTest::newRow("4") << 4 << "Channel Name Used. Code: 4" << "This channel name is used before. Please select another one." << warning;
    QTest::newRow("5") << 5 << "Alarmname Used. Code: 5" << "This alarmname is used before. Please select another one." << warning;
    QTest::newRow("6 ignores detail") << 6 << "SQL Query. Code: 6" << "Error with SQL query" << warning;
    QTest::newRow("7 with detail") << 7 << "File Error. Code: 7" << "File is broken: pages/main" << warning;
    QTest::newRow("8") << 8 << "Database Init Ok" << "Project database is created succesfully" << int(QMessageBox::Information);
    QTest::newRow("9 unknown") << 9 << ". Code: 9" << "" << int(QMessageBox::NoIcon);
    QTest::newRow("-1 unknown") << -1 << ". Code: -1" << "" << int(QMessageBox::NoIcon);
}

void tst_Services::messages()
{
    QFETCH(int, code);
    QFETCH(QString, text);
    QFETCH(QString, informative);
    QFETCH(int, icon);

    bool shown = false;
    QString seenText, seenInformative;
    int seenIcon = -1;
    QMessageBox::StandardButtons buttons;
    QTimer::singleShot(0, [&] {
        if (auto box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown = true;
            seenText = box->text();
            seenInformative = box->informativeText();
            seenIcon = box->icon();
            buttons = box->standardButtons();
        }
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
    });
    QString detail = "pages/main";
    OutputMessage::message(code, &detail);
    QVERIFY(shown);
    QCOMPARE(seenText, text);
    QCOMPARE(seenInformative, informative);
    QCOMPARE(seenIcon, icon);
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(OutputMessage::instance(), OutputMessage::instance());
}

void tst_Services::debuggerWindow()
{
    DebuggerWin *win = DebuggerWin::instance();
    QCOMPARE(DebuggerWin::instance(), win);
    QVERIFY(!win->isVisible());
    QCOMPARE(win->objectName(), QStringLiteral("DebuggerWin"));
    QCOMPARE(win->windowTitle(), QStringLiteral("Dialog"));
    QVERIFY(!win->isModal());
    auto close = win->findChild<QPushButton *>("pushButton_close");
    auto out = win->findChild<QTextEdit *>("textEdit_out");
    auto grid = win->findChild<QGridLayout *>("gridLayout");
    QVERIFY(close && out && grid);
    QCOMPARE(close->text(), QStringLiteral("Close"));
    int row, column, rowSpan, columnSpan;
    grid->getItemPosition(grid->indexOf(out), &row, &column, &rowSpan, &columnSpan);
    QCOMPARE(QList<int>({row, column, rowSpan, columnSpan}), QList<int>({0, 0, 1, 2}));
    grid->getItemPosition(grid->indexOf(close), &row, &column, &rowSpan, &columnSpan);
    QCOMPARE(QList<int>({row, column, rowSpan, columnSpan}), QList<int>({1, 1, 1, 1}));

    win->write("first line");
    QVERIFY(win->isVisible());
    QCOMPARE(win->size(), QSize(400, 300));
    close->click();
    QVERIFY(!win->isVisible());
    win->write("second line");
    QVERIFY(win->isVisible());
    QCOMPARE(out->toPlainText(), QStringLiteral("first line\nsecond line"));
    QCOMPARE(out->document()->blockCount(), 2);
}

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--scenario") == 0) {
        QApplication app(argc, argv);
        return runScenario(QString::fromLatin1(argv[2]));
    }
    QApplication app(argc, argv);
    tst_Services test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_services.moc"
