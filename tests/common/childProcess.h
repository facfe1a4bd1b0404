#pragma once

// Child processes and message boxes, for the tests of the singletons and dialogs.

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QTimer>
#include <QtTest>

#include <functional>

// The singletons read HOME and the working directory once per process: a test
// that needs them fresh runs again, as the same function and data row, in a
// child process of its own, where inChild() is true.
inline bool inChild() { return qEnvironmentVariableIsSet("ZADURURU_TEST_CHILD"); }

// Runs the current test function and data row in @p program (by default this
// one) with HOME @p home in @p workDir; a failed child's output is logged.
inline bool childPassed(const QString &home, const QString &workDir, const QString &program = QString())
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("HOME", home);
    env.insert("ZADURURU_TEST_CHILD", "1");
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(workDir);
    child.setProcessChannelMode(QProcess::MergedChannels);
    QString function = QString::fromLatin1(QTest::currentTestFunction());
    if (QTest::currentDataTag())
        function += ':' + QString::fromLatin1(QTest::currentDataTag());
    child.start(program.isEmpty() ? QCoreApplication::applicationFilePath() : program, {function});
    if (!child.waitForFinished(100000))
        child.kill();
    child.waitForFinished();
    const bool passed = child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0;
    if (!passed)
        qWarning("%s", child.readAll().constData());
    return passed;
}

#define QVERIFY_IN_CHILD(...) QVERIFY2(childPassed(__VA_ARGS__), "the child failed, as logged above")

// Runs @p action and returns, per message box it showed, "title | text |
// informative text | icon | buttons | parent's object name". Every modal
// window is closed, so that a wrong one fails the test instead of hanging it.
inline QStringList shownBoxes(const std::function<void()> &action)
{
    QStringList boxes;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&boxes] {
        QWidget *modal = QApplication::activeModalWidget();
        if (auto *box = qobject_cast<QMessageBox *>(modal))
            boxes << QStringList{box->windowTitle(), box->text(), box->informativeText(),
                                 QString::number(box->icon()), QString::number(box->standardButtons()),
                                 box->parentWidget() ? box->parentWidget()->objectName() : "-"}
                         .join(" | ");
        if (modal)
            modal->close();
    });
    timer.start(5);
    action();
    return boxes;
}
