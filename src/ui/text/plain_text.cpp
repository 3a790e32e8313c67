#include "ui/text/plain_text.h"

#include <QLabel>

namespace ramifex
{

QLabel* PlainLabel(QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QString PlainMenuText(const QString& text)
{
    QString shown = text;
    return shown.replace('&', QStringLiteral("&&")).replace('\t', ' ');
}

QString PlainToolTip(const QString& text)
{
    return QStringLiteral("<p style=\"white-space:pre\">%1</p>").arg(text.toHtmlEscaped());
}

void ShowPlainMessage(QWidget& owner, QMessageBox::Icon icon, const QString& title,
                      const QString& text, Qt::WindowModality modality)
{
    QMessageBox box(icon, title, text, QMessageBox::Ok, &owner);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(modality);
    box.exec();
}

}  // namespace ramifex
