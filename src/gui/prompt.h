#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

// Every message box of the program goes through MsgBox, with the application's title. The icon
// says what the message is: a question (Yes/No, OK/Cancel) by default gets the question icon,
// a lone OK the warning icon (a refusal or an error); a success passes Information.
QMessageBox::StandardButton MsgBox(const QString& text, QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                   QMessageBox::Icon icon = QMessageBox::NoIcon);
// A success: the information icon and OK.
inline void MsgDone(const QString& text)
{
    MsgBox(text, QMessageBox::Ok, QMessageBox::Information);
}

// Lets tests record the texts and answer in place of a person; an empty function restores real boxes.
using MsgBoxResponder = std::function<QMessageBox::StandardButton(const QString&, QMessageBox::StandardButtons)>;
void setMsgBoxResponder(MsgBoxResponder responder);

// A question with two answers of their own names: Yes stands for the first, No for the second
// (which is what a test's responder answers); Cancel when the box is closed without an answer.
QMessageBox::StandardButton MsgBoxChoice(const QString& text, const QString& yesText, const QString& noText);
