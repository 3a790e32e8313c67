#pragma once

#include <QString>
#include <optional>

class QMimeData;

namespace ramifex
{

// The local file that a drag carries, when it carries exactly one: a scene file or a picture to
// open. Anything else (text, several files, a web address) is no file to open.
std::optional<QString> DroppedFile(const QMimeData* data);

}  // namespace ramifex
