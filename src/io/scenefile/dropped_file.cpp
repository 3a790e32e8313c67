#include "io/scenefile/dropped_file.h"

#include <QMimeData>
#include <QUrl>

namespace ramifex
{

std::optional<QString> DroppedFile(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1 ||
        !data->urls().front().isLocalFile())
    {
        return std::nullopt;
    }
    return data->urls().front().toLocalFile();
}

}  // namespace ramifex
