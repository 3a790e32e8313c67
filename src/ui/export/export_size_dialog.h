#pragma once

#include <QButtonGroup>
#include <QDialog>
#include <QSize>

class QComboBox;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace ramifex
{

// Asks for the size of an exported picture: the window's, twice or four times it, or a width and
// height typed in, none whose drawing with the smooth edges chosen is beyond the largest picture
// the GL context can keep (those are refused, saying why). The same horizontal field of view at
// every size. Also asks for smooth edges, and remembers the choices (QSettings) for the next export
// once accepted.
class ExportSizeDialog final : public QDialog
{
    Q_OBJECT

public:
    ExportSizeDialog(const QSize& window, const QSize& largest, QWidget* parent);

    // The size chosen.
    QSize Size() const;
    // Samples per side of each pixel: 1 with smooth edges off.
    int Samples() const;

    void accept() override;

private:
    void FollowSamples();

    QSize window_;
    QSize largest_;
    QRadioButton* typed_ = nullptr;
    QLabel* atMost_ = nullptr;
    QButtonGroup choices_;
    QSpinBox* width_ = nullptr;
    QSpinBox* height_ = nullptr;
    QComboBox* smoothEdges_ = nullptr;
};

}  // namespace ramifex
