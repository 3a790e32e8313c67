#pragma once

#include <QButtonGroup>
#include <QDialog>
#include <QSize>

class QSpinBox;

namespace ramifex
{

// Asks for the size of an exported picture: the window's, twice or four times it, or a width and
// height typed in, none beyond the largest picture the GL context can keep. The same horizontal
// field of view at every size.
class ExportSizeDialog final : public QDialog
{
    Q_OBJECT

public:
    ExportSizeDialog(const QSize& window, const QSize& largest, QWidget* parent);

    // The size chosen.
    QSize Size() const;

private:
    QSize window_;
    QButtonGroup choices_;
    QSpinBox* width_ = nullptr;
    QSpinBox* height_ = nullptr;
};

}  // namespace ramifex
