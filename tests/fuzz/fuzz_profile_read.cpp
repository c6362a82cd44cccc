// The profile reader: never fails, and agrees with a plain line-by-line reading of the rules.
// Input: section NUL key NUL file contents.

#include "core/profile.h"
#include "core/textcodec.h"
#include "fuzzcheck.h"
#include "profilereference.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QList<QByteArray> parts = vx::fuzz::splitInput(data, size, 3);
    const QString section = vx::textcodec::decode(parts[0]);
    const QString key = vx::textcodec::decode(parts[1]);
    const QByteArray& content = parts[2];

    const QString value = vx::profile::valueIn(content, section, key);
    VX_FUZZ_CHECK(!value.contains(QLatin1Char('\r')) && !value.contains(QLatin1Char('\n')),
                  "a value is one line");
    const std::optional<QByteArray> bytewise = vx::fuzz::asBytewise(content);
    if (!bytewise)
        return 0;
    VX_FUZZ_CHECK(value == vx::fuzz::referenceValue(*bytewise, section, key),
                  "the reader follows the rules");

    // Every key the file holds reads as the rules say.
    const auto pairs = vx::fuzz::referencePairs(*bytewise);
    for (const auto& [s, k] : pairs)
        VX_FUZZ_CHECK(vx::profile::valueIn(content, s, k) ==
                          vx::fuzz::referenceValue(*bytewise, s, k),
                      "every stored key reads as the rules say");
    return 0;
}
