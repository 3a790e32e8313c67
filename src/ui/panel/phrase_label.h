#pragma once

#include <QLabel>
#include <QStringList>

namespace ramifex
{

// A status line of a few lines that breaks its text only between phrases, after ", ", ": " and
// " · ", so that "0.0 s" or "unsaved changes" never parts. A phrase wider than a whole line, such
// as a long file name, loses its middle to an ellipsis, and so does a last line that overflows.
// text() is the whole text, shown as plain characters.
class PhraseLabel final : public QLabel
{
    Q_OBJECT

public:
    PhraseLabel(int lines, QWidget* parent);

    // The lines as shown at the label's width.
    QStringList Lines() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int lines_;
};

}  // namespace ramifex
