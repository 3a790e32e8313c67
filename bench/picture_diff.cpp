#include "picture_diff.h"

#include <algorithm>
#include <cstdlib>

namespace ramifex::bench
{

PictureDiff Compare(const QImage& a, const QImage& b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    PictureDiff diff;
    for (int row = 0; row < std::min(x.height(), y.height()); ++row)
    {
        for (int column = 0; column < std::min(x.width(), y.width()); ++column)
        {
            const QRgb p = x.pixel(column, row);
            const QRgb q = y.pixel(column, row);
            const int delta =
                std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q))});
            if (delta > 0)
            {
                ++diff.Pixels;
                diff.Large += delta > 8 ? 1 : 0;
                diff.MaxDelta = std::max(diff.MaxDelta, delta);
            }
        }
    }
    return diff;
}

void SavePicture(const std::string& folder, const std::string& name, const QImage& picture)
{
    if (!folder.empty())
    {
        picture.save(QString::fromStdString(folder + "/" + name + ".png"));
    }
}

}  // namespace ramifex::bench
