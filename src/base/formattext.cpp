#include "base/formattext.h"

#include "app/gameapp.h"

#include <set>
#include <string>

namespace {

// Each unusable text is reported once, not once per frame.
void reportUnusable(const Tsl::String& sTemplate) {
    static std::set<std::string> s_reported;
    if (s_reported.insert(sTemplate.c_str()).second)
        GameApp::log("Text not usable as a format, shown as it stands: \"%s\"\n", sTemplate.c_str());
}

}  // namespace

Tsl::String formatText(const Tsl::String& sTemplate, std::initializer_list<int> lArgs) {
    std::string sOut;
    const int* pNext = lArgs.begin();
    const char* psz = sTemplate.c_str();
    for (int i = 0; i < sTemplate.getLength(); ++i) {
        char c = psz[i];
        if (c != '%') {
            sOut += c;
            continue;
        }
        char cNext = i + 1 < sTemplate.getLength() ? psz[i + 1] : '\0';
        if (cNext == '%') {
            sOut += '%';
        } else if (cNext == 'd' && pNext != lArgs.end()) {
            sOut += std::to_string(*pNext++);
        } else {
            reportUnusable(sTemplate);
            return sTemplate;
        }
        ++i;
    }
    return Tsl::String(sOut.data(), static_cast<int>(sOut.size()));
}
