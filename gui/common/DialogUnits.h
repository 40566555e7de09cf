#pragma once

// The dialogs of the results were laid out in dialog units of a 9-pt
// "宋体" face (about 6 × 12 pixels per character), which makes one unit
// 1.5 pixels either way.
namespace DialogUnits {

constexpr int toPixels(int units)
{
    return (units * 3 + 1) / 2;
}

} // namespace DialogUnits
