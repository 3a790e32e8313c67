#pragma once

#include <QDialog>
#include <QSize>

#include "gl/jobs/geometry_job.h"
#include "io/geometry/geometry_file.h"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace ramifex
{

// What a geometry export writes, and how.
struct GeometryChoice
{
    GeometrySettings Settings;
    GeometryOptions Options;
};

// The file name ending of a format.
const char* SuffixOf(GeometryFormat format);

// Asks what a geometry export takes (what the view shows, or the whole tree to a depth), the
// picture size the view is judged and the spheres tessellated at (the window's at first), the
// format, the size of an STL print and whether a .glb carries the camera. A whole tree's sphere
// count and file size show before anything is gathered.
class GeometryExportDialog final : public QDialog
{
    Q_OBJECT

public:
    GeometryExportDialog(const QSize& window, const QSize& largest, QWidget* parent);

    GeometryChoice Choice() const;

private:
    void AddWhat(int row);
    void AddFormat(int row);
    void ShowEstimate();

    QRadioButton* whole_ = nullptr;
    QSpinBox* depth_ = nullptr;
    QSpinBox* width_ = nullptr;
    QSpinBox* height_ = nullptr;
    QComboBox* format_ = nullptr;
    QDoubleSpinBox* stlSize_ = nullptr;
    QCheckBox* camera_ = nullptr;
    QLabel* estimate_ = nullptr;
};

}  // namespace ramifex
