#pragma once
#include <string>
#include <vector>

namespace companion {

// Category 0 draws from every offline verse; any other selects the verses of that name.
inline const std::vector<std::u16string> ScriptureCategories = {u"All categories",
                                                                u"Offline backup"};

}  // namespace companion
