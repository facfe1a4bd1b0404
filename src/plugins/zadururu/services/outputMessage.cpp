#include "outputMessage.h"

#include <QMessageBox>

OutputMessage *OutputMessage::m_instance = nullptr;

OutputMessage *OutputMessage::instance()
{
    if (!m_instance)
        m_instance = new OutputMessage(nullptr);
    return m_instance;
}

OutputMessage::OutputMessage(QObject *parent)
    : QObject(parent)
{
}

void OutputMessage::message(int code, QString *detail)
{
    QMessageBox box;
    switch (code) {
    case 0:
        box.setText(tr("Component Not Exists"));
        box.setInformativeText(tr("The component is not available for current project. "
                                  "Switch active project to see available components"));
        break;
    case 1:
        box.setText(tr("Cannot Create Database"));
        box.setInformativeText(tr("Cannot create database structure. Check your server settings."));
        break;
    case 2:
        box.setText(tr("Database Error"));
        box.setInformativeText(tr("Cannot connect to database. Check your server settings."));
        break;
    case 3:
        box.setText(tr("Tagname Used"));
        box.setInformativeText(tr("This tagname is used before. Please select another one."));
        break;
    case 4:
        box.setText(tr("Channel Name Used"));
        box.setInformativeText(tr("This channel name is used before. Please select another one."));
        break;
    case 5:
        box.setText(tr("Alarmname Used"));
        box.setInformativeText(tr("This alarmname is used before. Please select another one."));
        break;
    case 6:
        box.setText(tr("SQL Query"));
        box.setInformativeText(tr("Error with SQL query"));
        break;
    case 7:
        box.setText(tr("File Error"));
        box.setInformativeText(tr("File is broken: %1").arg(*detail));
        break;
    case 8:
        box.setText(tr("Database Init Ok"));
        box.setInformativeText(tr("Project database is created succesfully"));
        break;
    default:
        break;
    }
    if (code >= 0 && code <= 7)
        box.setIcon(QMessageBox::Warning);
    if (code == 8)
        box.setIcon(QMessageBox::Information);
    else
        box.setText(box.text() + tr(". Code: ") + QString::number(code));
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}
