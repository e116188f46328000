#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

// Every message box of the program goes through MsgBox, with the application's title.
QMessageBox::StandardButton MsgBox(const QString& text, QMessageBox::StandardButtons buttons = QMessageBox::Ok);

// Lets tests record the texts and answer in place of a person; an empty function restores real boxes.
using MsgBoxResponder = std::function<QMessageBox::StandardButton(const QString&, QMessageBox::StandardButtons)>;
void setMsgBoxResponder(MsgBoxResponder responder);
