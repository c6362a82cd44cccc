#pragma once

#include <QString>
#include <optional>

namespace vx
{

// The size box's conversion: a whole number from -32768 to 32767, a fraction rounded half to
// even; blanks around it, leading zeros and a sign are allowed. The decimal point is '.' or the
// user's locale's. Nothing when the text is not such a number.
std::optional<int> toInt16(const QString& input);

} // namespace vx
