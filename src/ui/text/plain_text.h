#pragma once

#include <QMessageBox>
#include <QString>

class QLabel;
class QWidget;

namespace ramifex
{

// Names, paths and texts that come from files are shown as the characters they are: never read as
// markup, which would make the toolkit load whatever file an image in it names, and never as a
// menu's mnemonic or shortcut. The windows show every such text through these.

// A label that shows its text as it is.
QLabel* PlainLabel(QWidget* parent = nullptr);
// A menu entry's text showing `text` as it is: its ampersands make no mnemonic and a tab no
// shortcut.
QString PlainMenuText(const QString& text);
// A tooltip showing `text` as it is, on one line. Tooltips have no plain mode, so the text is
// escaped as markup.
QString PlainToolTip(const QString& text);
// A message box over `owner` showing its text as it is, until the user closes it.
void ShowPlainMessage(QWidget& owner, QMessageBox::Icon icon, const QString& title,
                      const QString& text, Qt::WindowModality modality = Qt::ApplicationModal);

}  // namespace ramifex
