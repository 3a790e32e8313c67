#include "core/scene/random_generator.h"

namespace ramifex
{

int RandomGenerator::Draw()
{
    state_ = state_ * 214013u + 2531011u;
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
}

}  // namespace ramifex
