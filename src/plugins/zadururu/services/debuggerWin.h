#pragma once

/**
 * @file debuggerWin.h
 * @brief The shared window for running diagnostic text (DebuggerWin).
 */

#include <zadururu/zadururu_export.h>

#include <QDialog>
#include <QString>

QT_BEGIN_NAMESPACE
class QGridLayout;
class QPushButton;
class QTextEdit;
QT_END_NAMESPACE

/**
 * One shared, non-modal window in which plugins show running diagnostic
 * text: write() brings it up and appends a paragraph. Its Close button only
 * hides it; the text stays and only grows. GUI thread only.
 */
class ZADURURU_EXPORT DebuggerWin : public QDialog
{
    Q_OBJECT
public:
    /// The window, created hidden and without parent on the first call; never destroyed.
    static DebuggerWin *instance();
    /// Builds the window (400 by 300, hidden, non-modal); use instance() to share the one window.
    explicit DebuggerWin(QWidget *parent = nullptr);
    /// Frees the window's widgets.
    ~DebuggerWin() override;

    /// Shows the window when hidden and appends @p text as a new paragraph.
    void write(QString text);

private Q_SLOTS:
    void on_pushButton_close_clicked();

private:
    struct Ui
    {
        QGridLayout *gridLayout;
        QPushButton *pushButton_close;
        QTextEdit *textEdit_out;
    };
    Ui *ui;
    static DebuggerWin *m_instance;
};
