#pragma once

#include <QImage>
#include <cstdint>
#include <string>

namespace ramifex::bench
{

// Where two pictures of the same size differ.
struct PictureDiff
{
    int64_t Pixels = 0;
    int MaxDelta = 0;
    int64_t Large = 0;  // pixels where some channel differs by more than 8
};

PictureDiff Compare(const QImage& a, const QImage& b);
// Saves folder/name.png; nothing when no folder is given.
void SavePicture(const std::string& folder, const std::string& name, const QImage& picture);

}  // namespace ramifex::bench
