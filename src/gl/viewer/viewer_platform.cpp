#include "gl/viewer/viewer_platform.h"

namespace ramifex
{

PixelFormatRequest MakePixelFormatRequest(bool doubleBuffered, uint8_t colourBits)
{
    PixelFormatRequest request;
    request.Flags = PixelFormatDrawToWindow | PixelFormatSupportOpenGl;
    if (doubleBuffered)
    {
        request.Flags |= PixelFormatDoubleBuffer;
    }
    request.ColourBits = colourBits;
    return request;
}

}  // namespace ramifex
