#pragma once

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
 * text. write() brings it up and appends a paragraph; closing only hides it.
 */
class ZADURURU_EXPORT DebuggerWin : public QDialog
{
    Q_OBJECT
public:
    static DebuggerWin *instance();
    explicit DebuggerWin(QWidget *parent = nullptr);
    ~DebuggerWin() override;

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
