// Fuzzes the settings-file edit, SetIniValue. Input: one byte choosing the
// value written (a number), then the file's bytes. The edit is idempotent
// (a value just set is already right), and a value changed and changed back
// gives the same bytes: it touches the one value and nothing around it.
#include "FuzzCheck.h"
#include "IniValueEdit.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const std::string value = std::to_string(data[0]);
    const std::string other = value + "0";
    const std::string content(reinterpret_cast<const char*>(data + 1), size - 1);

    const std::string set = SetIniValue(content, "Select", "Index", value);
    FUZZ_CHECK(SetIniValue(set, "Select", "Index", value) == set);
    const std::string changed = SetIniValue(set, "Select", "Index", other);
    FUZZ_CHECK(changed != set);
    if (set == content)
        return 0; // the value was there already, perhaps quoted or padded
    // One unit more, of a byte or of two.
    FUZZ_CHECK(changed.size() == set.size() + 1 || changed.size() == set.size() + 2);
    FUZZ_CHECK(SetIniValue(changed, "Select", "Index", value) == set);
    return 0;
}
