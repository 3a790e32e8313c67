#include "ui/panel/phrase_label.h"

#include <QPainter>
#include <QRegularExpression>

namespace ramifex
{
namespace
{

// Each phrase keeps the separator that ends it.
QStringList Phrases(const QString& text)
{
    static const QRegularExpression separator(QStringLiteral("(, |: | \u00B7 )"));
    QStringList phrases;
    qsizetype start = 0;
    for (const QRegularExpressionMatch& match : separator.globalMatch(text))
    {
        phrases.append(text.mid(start, match.capturedEnd() - start));
        start = match.capturedEnd();
    }
    phrases.append(text.mid(start));
    return phrases;
}

}  // namespace

PhraseLabel::PhraseLabel(int lines, QWidget* parent) : QLabel(parent), lines_(lines)
{
    setTextFormat(Qt::PlainText);
    setFixedHeight(lines_ * fontMetrics().lineSpacing());
}

// Phrases fill each line in turn, and the last line takes whatever is left.
QStringList PhraseLabel::Lines() const
{
    const QFontMetrics metrics = fontMetrics();
    const int room = contentsRect().width();
    QStringList lines{QString()};
    for (const QString& phrase : Phrases(text()))
    {
        const QString longer = lines.last() + phrase;
        if (lines.last().isEmpty() || metrics.horizontalAdvance(longer.trimmed()) <= room ||
            lines.size() == lines_)
        {
            lines.last() = longer;
        }
        else
        {
            lines.append(phrase);
        }
    }
    for (QString& line : lines)
    {
        line = metrics.elidedText(line.trimmed(), Qt::ElideMiddle, room);
    }
    return lines;
}

void PhraseLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    const QRect area = contentsRect();
    const int spacing = fontMetrics().lineSpacing();
    const QStringList lines = Lines();
    for (qsizetype line = 0; line < lines.size(); ++line)
    {
        const QRect row(area.left(), area.top() + static_cast<int>(line) * spacing, area.width(),
                        spacing);
        painter.drawText(row, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, lines[line]);
    }
}

}  // namespace ramifex
