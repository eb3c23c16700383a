// The six small pictures the property grid draws Boolean values and states
// with, in their fixed order: "My_X", "My_Check", "LedRedOn", "LedRedOf",
// "LedGrnOn", "LEDGrnOf". Drawn here, once, at the screen's pixel ratio.
#pragma once

#include <QPixmap>

namespace objscope {

enum class BooleanImage { My_X, My_Check, LedRedOn, LedRedOf, LedGrnOn, LEDGrnOf };

const QPixmap& BooleanImagePixmap(BooleanImage image);

}  // namespace objscope
