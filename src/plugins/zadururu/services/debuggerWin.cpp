#include "debuggerWin.h"

#include <QGridLayout>
#include <QPushButton>
#include <QTextEdit>

DebuggerWin *DebuggerWin::m_instance = nullptr;

DebuggerWin *DebuggerWin::instance()
{
    if (!m_instance)
        m_instance = new DebuggerWin(nullptr);
    return m_instance;
}

DebuggerWin::DebuggerWin(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui)
{
    if (objectName().isEmpty())
        setObjectName(QStringLiteral("DebuggerWin"));
    resize(400, 300);
    ui->gridLayout = new QGridLayout(this);
    ui->gridLayout->setObjectName(QStringLiteral("gridLayout"));
    ui->pushButton_close = new QPushButton(this);
    ui->pushButton_close->setObjectName(QStringLiteral("pushButton_close"));
    ui->gridLayout->addWidget(ui->pushButton_close, 1, 1, 1, 1);
    ui->textEdit_out = new QTextEdit(this);
    ui->textEdit_out->setObjectName(QStringLiteral("textEdit_out"));
    ui->gridLayout->addWidget(ui->textEdit_out, 0, 0, 1, 2);
    setWindowTitle(tr("Dialog"));
    ui->pushButton_close->setText(tr("Close"));
    QMetaObject::connectSlotsByName(this);
    setModal(false);
}

DebuggerWin::~DebuggerWin()
{
    delete ui;
}

void DebuggerWin::write(QString text)
{
    show();
    ui->textEdit_out->append(text);
}

void DebuggerWin::on_pushButton_close_clicked()
{
    close();
}
