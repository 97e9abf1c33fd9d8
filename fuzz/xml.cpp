// Feeds arbitrary bytes to the XML reader and to the spreadsheet table reader.
#include "tsl2/xml.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize) {
    if (nSize > (1u << 20)) return 0;
    Tsl::String sText(reinterpret_cast<const char*>(pData), static_cast<int>(nSize));
    Tsl::XMLParser parser("fuzz.xml");
    try {
        Tsl::SmartPtr<Tsl::XMLNode> pRoot = parser.parse(sText);
        pRoot->getText();
    } catch (const Tsl::Exception&) {
    }
    try {
        Tsl::Hash<Tsl::String, Tsl::String> hTable;
        parser.readKeyValueTable(sText, hTable);
    } catch (const Tsl::Exception&) {
    }
    return 0;
}
