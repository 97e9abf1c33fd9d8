#include "contentset.h"

#include "tsl2/file.h"
#include "tsl2/memstream.h"
#include "tsl2/resourcefile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <stdexcept>

const char* const ContentSet::ARCHIVES[] = {"lang_en.dat", "common.dat", "chars0.dat", "chars1.dat", "scene0.dat",
                                            "scene1.dat",  "scene2.dat", "scene3.dat", "scene4.dat", "dresses.dat",
                                            "map.dat",     "sfx.dat",    "store.dat"};
const int ContentSet::ARCHIVE_COUNT = sizeof(ARCHIVES) / sizeof(ARCHIVES[0]);

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool isCompressed(const std::string& sName) {
    for (const char* pszSuffix : {".png", ".ogg"})
        if (sName.size() > 4 && sName.compare(sName.size() - 4, 4, pszSuffix) == 0) return true;
    return false;
}

} // namespace

void ContentSet::add(const std::string& sArchive, const std::string& sName, Bytes data) {
    if (std::find_if(ARCHIVES, ARCHIVES + ARCHIVE_COUNT, [&](const char* p) { return sArchive == p; }) ==
        ARCHIVES + ARCHIVE_COUNT)
        throw std::runtime_error("no archive named '" + sArchive + "' (entry '" + sName + "')");
    if (has(sName)) throw std::runtime_error("the entry '" + sName + "' is made twice");
    m_hArchives[sArchive][sName] = std::move(data);
}

void ContentSet::addImage(const std::string& sArchive, const std::string& sName, const Canvas& canvas) {
    add(sArchive, lower(sName) + ".png", encodePng(canvas));
}

void ContentSet::addText(const std::string& sArchive, const std::string& sName, const std::string& sText) {
    add(sArchive, sName, Bytes(sText.begin(), sText.end()));
}

void ContentSet::addBytes(const std::string& sArchive, const std::string& sName, const Bytes& data) {
    add(sArchive, sName, data);
}

bool ContentSet::has(const std::string& sName) const {
    for (const auto& archive : m_hArchives)
        if (archive.second.count(sName)) return true;
    return false;
}

Canvas ContentSet::picture(const std::string& sName) const {
    std::string sEntry = lower(sName) + ".png";
    for (const auto& archive : m_hArchives) {
        auto it = archive.second.find(sEntry);
        if (it != archive.second.end()) return decodePng(it->second);
    }
    throw std::runtime_error("no picture named '" + sName + "' has been made yet");
}

std::map<std::string, std::string> ContentSet::getIndex() const {
    std::map<std::string, std::string> hIndex;
    for (const auto& archive : m_hArchives)
        for (const auto& entry : archive.second) hIndex[entry.first] = archive.first;
    return hIndex;
}

void ContentSet::write(const std::string& sFolder) const {
    for (int i = 0; i < ARCHIVE_COUNT; ++i) {
        std::string sPath = sFolder + "/" + ARCHIVES[i];
        std::string sTemp = sPath + ".tmp";
        {
            Tsl::File target(sTemp.c_str(), Tsl::File::eWrite, true);
            Tsl::ResourceFileCompiler compiler(&target, false);
            auto it = m_hArchives.find(ARCHIVES[i]);
            if (it != m_hArchives.end())
                for (const auto& entry : it->second) {
                    Tsl::MemStream source(entry.second.data(), static_cast<int>(entry.second.size()));
                    if (isCompressed(entry.first))
                        compiler.addStoredResource(&source, entry.first.c_str());
                    else
                        compiler.addResource(&source, entry.first.c_str());
                }
            compiler.finish();
            target.close();
        }
        if (std::rename(sTemp.c_str(), sPath.c_str()) != 0) throw std::runtime_error("can't rename " + sTemp);
    }
}
